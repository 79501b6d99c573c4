#include "RegistryCallCounter.h"

#include <cstring>

namespace
{

LONGLONG g_nCalls = 0;

decltype(&::RegOpenKeyExA) g_pfnOpen;
decltype(&::RegCreateKeyExA) g_pfnCreate;
decltype(&::RegQueryValueExA) g_pfnQuery;
decltype(&::RegSetValueExA) g_pfnSet;
decltype(&::RegDeleteKeyA) g_pfnDelete;
decltype(&::RegCloseKey) g_pfnClose;

LONG WINAPI CountedOpen(HKEY h, LPCSTR psz, DWORD n, REGSAM sam, PHKEY ph)
{
    ++g_nCalls;
    return g_pfnOpen(h, psz, n, sam, ph);
}
LONG WINAPI CountedCreate(HKEY h, LPCSTR psz, DWORD n, LPSTR pszClass, DWORD nOptions, REGSAM sam,
                          const LPSECURITY_ATTRIBUTES psa, PHKEY ph, LPDWORD pn)
{
    ++g_nCalls;
    return g_pfnCreate(h, psz, n, pszClass, nOptions, sam, psa, ph, pn);
}
LONG WINAPI CountedQuery(HKEY h, LPCSTR psz, LPDWORD pn, LPDWORD pType, LPBYTE pData, LPDWORD pcb)
{
    ++g_nCalls;
    return g_pfnQuery(h, psz, pn, pType, pData, pcb);
}
LONG WINAPI CountedSet(HKEY h, LPCSTR psz, DWORD n, DWORD nType, const BYTE* pData, DWORD cb)
{
    ++g_nCalls;
    return g_pfnSet(h, psz, n, nType, pData, cb);
}
LONG WINAPI CountedDelete(HKEY h, LPCSTR psz)
{
    ++g_nCalls;
    return g_pfnDelete(h, psz);
}
LONG WINAPI CountedClose(HKEY h)
{
    ++g_nCalls;
    return g_pfnClose(h);
}

struct CRedirect
{
    const char* pszName;
    void* pfnCounted;
    void** ppfnOriginal;
};

const CRedirect c_redirects[] = {
    {"RegOpenKeyExA", reinterpret_cast<void*>(&CountedOpen), reinterpret_cast<void**>(&g_pfnOpen)},
    {"RegCreateKeyExA", reinterpret_cast<void*>(&CountedCreate),
     reinterpret_cast<void**>(&g_pfnCreate)},
    {"RegQueryValueExA", reinterpret_cast<void*>(&CountedQuery),
     reinterpret_cast<void**>(&g_pfnQuery)},
    {"RegSetValueExA", reinterpret_cast<void*>(&CountedSet), reinterpret_cast<void**>(&g_pfnSet)},
    {"RegDeleteKeyA", reinterpret_cast<void*>(&CountedDelete),
     reinterpret_cast<void**>(&g_pfnDelete)},
    {"RegCloseKey", reinterpret_cast<void*>(&CountedClose), reinterpret_cast<void**>(&g_pfnClose)},
};

} // namespace

BOOL InstallRegistryCallCounter()
{
    BYTE* pBase = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    auto* pDos = reinterpret_cast<IMAGE_DOS_HEADER*>(pBase);
    auto* pNt = reinterpret_cast<IMAGE_NT_HEADERS*>(pBase + pDos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int nFound = 0;
    for (auto* pImport = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(pBase + dir.VirtualAddress);
         pImport->Name != 0; ++pImport)
    {
        auto* pName = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pImport->OriginalFirstThunk);
        auto* pSlot = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pImport->FirstThunk);
        for (; pName->u1.AddressOfData != 0; ++pName, ++pSlot)
        {
            if (IMAGE_SNAP_BY_ORDINAL(pName->u1.Ordinal))
                continue;
            auto* pByName =
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(pBase + pName->u1.AddressOfData);
            for (const CRedirect& redirect : c_redirects)
            {
                if (std::strcmp(reinterpret_cast<const char*>(pByName->Name), redirect.pszName) !=
                    0)
                    continue;
                DWORD dwOld;
                ::VirtualProtect(&pSlot->u1.Function, sizeof(pSlot->u1.Function), PAGE_READWRITE,
                                 &dwOld);
                *redirect.ppfnOriginal = reinterpret_cast<void*>(pSlot->u1.Function);
                pSlot->u1.Function = reinterpret_cast<ULONG_PTR>(redirect.pfnCounted);
                ::VirtualProtect(&pSlot->u1.Function, sizeof(pSlot->u1.Function), dwOld, &dwOld);
                ++nFound;
            }
        }
    }
    return nFound > 0;
}

LONGLONG GetRegistryCallCount()
{
    return g_nCalls;
}

void ResetRegistryCallCount()
{
    g_nCalls = 0;
}
