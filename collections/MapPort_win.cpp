#include "MapPort.h"

UINT_PTR MapCurrentThreadId() noexcept
{
    return GetCurrentThreadId();
}

void MapYield() noexcept
{
    Sleep(0);
}

void* MapThisModule() noexcept
{
    HMODULE hModule = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&MapThisModule), &hModule);
    return hModule;
}

void* MapFindExport(void* hModule, LPCSTR pszName) noexcept
{
    // GetProcAddress looks at the module's own export table only.
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(hModule), pszName));
}
