#include "Memory.h"
#include "Exceptions.h"

#include <atomic>
#include <cstdlib>

// Relaxed atomics: the maps are used from several threads, and the hook and
// counter must not be a data race even though tests arm the hook from one.
static std::atomic<int> s_nAllocationsUntilFailure{-1};
static std::atomic<INT_PTR> s_nLiveAllocations{0};

static BOOL ShouldFailThisAllocation()
{
    int nLeft = s_nAllocationsUntilFailure.load(std::memory_order_relaxed);
    while (nLeft >= 0)
    {
        if (s_nAllocationsUntilFailure.compare_exchange_weak(nLeft, nLeft - 1,
                                                             std::memory_order_relaxed))
            return nLeft == 0;
    }
    return FALSE;
}

void* AfxAllocMemory(size_t nBytes)
{
    if (ShouldFailThisAllocation())
        AfxThrowMemoryException();
    // malloc(0) may return null legitimately; a one-byte block keeps "null
    // means failure" true.
    void* p = std::malloc(nBytes != 0 ? nBytes : 1);
    if (p == nullptr)
        AfxThrowMemoryException();
    s_nLiveAllocations.fetch_add(1, std::memory_order_relaxed);
    return p;
}

void* AfxAllocArray(size_t nCount, size_t nElemSize)
{
    if (nElemSize != 0 && nCount > SIZE_MAX / nElemSize)
        AfxThrowMemoryException();
    return AfxAllocMemory(nCount * nElemSize);
}

void AfxFreeMemory(void* p)
{
    if (p == nullptr)
        return;
    s_nLiveAllocations.fetch_sub(1, std::memory_order_relaxed);
    std::free(p);
}

void AfxFailAllocationAfter(int nSucceed)
{
    s_nAllocationsUntilFailure.store(nSucceed < 0 ? -1 : nSucceed, std::memory_order_relaxed);
}

INT_PTR AfxLiveAllocationCount()
{
    return s_nLiveAllocations.load(std::memory_order_relaxed);
}
