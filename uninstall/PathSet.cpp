#include "PathSet.h"

#include <mbctype.h>
#include <mbstring.h>

BOOL PathsEqual(LPCSTR pszA, LPCSTR pszB)
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(pszA),
                    reinterpret_cast<const unsigned char*>(pszB)) == 0;
}

size_t CPathSet::FoldedHash(LPCSTR pszPath)
{
    size_t nHash = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(pszPath); *p; ++p)
    {
        if (_ismbblead(*p))
        {
            if (p[1] == '\0')
                break;
            ++p;
            continue;
        }
        if (*p >= 0x80)
            continue;
        unsigned char ch =
            (*p >= 'A' && *p <= 'Z') ? static_cast<unsigned char>(*p + ('a' - 'A')) : *p;
        nHash = nHash * 33 + ch;
    }
    return nHash;
}

void CPathSet::Add(LPCSTR pszPath)
{
    m_buckets[FoldedHash(pszPath)].push_back(pszPath);
}

BOOL CPathSet::Contains(LPCSTR pszPath) const
{
    auto it = m_buckets.find(FoldedHash(pszPath));
    if (it == m_buckets.end())
        return FALSE;
    for (const CString& strPath : it->second)
    {
        if (PathsEqual(strPath, pszPath))
            return TRUE;
    }
    return FALSE;
}
