#include "MapPort.h"

#include <dlfcn.h>
#include <pthread.h>
#include <sched.h>

UINT_PTR MapCurrentThreadId() noexcept
{
    // pthread_t is an integer or a pointer on the systems this builds for.
    return reinterpret_cast<UINT_PTR>(reinterpret_cast<void*>(pthread_self()));
}

void MapYield() noexcept
{
    sched_yield();
}

// A module is named by the base address its loader mapped it at: unique
// among loaded objects and, unlike a dlopen handle, found from any code
// address with dladdr.
void* MapThisModule() noexcept
{
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&MapThisModule), &info) == 0)
        return nullptr;
    return info.dli_fbase;
}

void* MapFindExport(void* hModule, LPCSTR pszName) noexcept
{
    Dl_info info;
    if (hModule == nullptr || dladdr(hModule, &info) == 0 || info.dli_fbase != hModule)
        return nullptr;
    // The program itself cannot be reopened by its file name; its symbols
    // are reached through the global handle.
    void* hLibrary = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (hLibrary == nullptr)
        hLibrary = dlopen(nullptr, RTLD_LAZY);
    if (hLibrary == nullptr)
        return nullptr;
    void* pfn = dlsym(hLibrary, pszName);
    dlclose(hLibrary);
    // dlsym also searches the library's dependencies and, for the global
    // handle, every library: accept only the owner's own definition.
    Dl_info symbol;
    if (pfn != nullptr && (dladdr(pfn, &symbol) == 0 || symbol.dli_fbase != hModule))
        return nullptr;
    return pfn;
}
