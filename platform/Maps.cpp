#include "Maps.h"
#include "Archive.h"

UINT CPtrKeyHash::HashKey(void* key) noexcept
{
    // Folds the high half in and mixes the low bits down: aligned pointers
    // have zero low bits, and small integers held as keys differ only there.
    ULONGLONG n = reinterpret_cast<UINT_PTR>(key);
    UINT nHash = static_cast<UINT>(n ^ (n >> 32));
    return nHash ^ (nHash >> 4);
}

UINT CStringKeyHash::HashKey(const CString& key) noexcept
{
    uint32_t nHash = 0;
    LPCSTR pch = key;
    for (int i = 0; i < key.GetLength(); ++i)
        nHash = nHash * 33u + static_cast<uint32_t>(static_cast<signed char>(pch[i]));
    return nHash;
}

IMPLEMENT_DYNAMIC(CMapPtrToPtr, CObject)
IMPLEMENT_DYNAMIC(CMapPtrToWord, CObject)
IMPLEMENT_DYNAMIC(CMapWordToOb, CObject)
IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)
IMPLEMENT_DYNAMIC(CMapStringToOb, CObject)
IMPLEMENT_DYNAMIC(CMapStringToString, CObject)

void CMapStringToString::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
    {
        ar.WriteCount(static_cast<ULONGLONG>(GetCount()));
        CString strKey;
        CString strValue;
        for (POSITION pos = GetStartPosition(); pos != nullptr;)
        {
            GetNextAssoc(pos, strKey, strValue);
            ar << strKey << strValue;
        }
        return;
    }
    // No up-front check of the count: nothing is allocated per announced
    // entry, and a short record stops at its first missing string.
    for (DWORD_PTR nLeft = ar.ReadCount(); nLeft > 0; --nLeft)
    {
        CString strKey;
        CString strValue;
        ar >> strKey >> strValue;
        (*this)[strKey] = strValue;
    }
}
