// Memory.h - the one allocator behind every platform string, container and
// CObject.
//
// AfxAllocMemory never returns null: exhaustion, and a byte count that does
// not fit size_t, raise CMemoryException. Routing everything through here
// lets tests make the k-th allocation fail (AfxFailAllocationAfter) and count
// blocks still live, so a failed load can be checked for leaks even where no
// leak sanitizer runs.
#pragma once

#include "Types.h"

void* AfxAllocMemory(size_t nBytes);
// nCount * nElemSize bytes, the product checked for overflow.
void* AfxAllocArray(size_t nCount, size_t nElemSize);
void AfxFreeMemory(void* p);

// Test hook: let the next nSucceed allocations through and fail the one after
// it; the failure fires once and disarms the hook. -1 disarms it at once.
void AfxFailAllocationAfter(int nSucceed);
// Blocks from AfxAllocMemory not yet freed, process-wide.
INT_PTR AfxLiveAllocationCount();
