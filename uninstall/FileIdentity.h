// FileIdentity.h - which existing file or folder a plain path names, so that
// two spellings of one file (short names, forward slashes, relative parts, a
// doubled separator) can be recognised as the same file.
//
// Two identities are the same file when both carry the same volume serial
// number and file index; where the file system gives no index, when their
// full long paths are equal under _mbsicmp. A pattern (a path holding '*' or '?') and a path that
// names nothing have no identity: the uninstaller compares them as text only. Reading an identity
// opens the file for its attributes only, sharing everything, so it never stands in anyone's way.
#pragma once

#include "PathSet.h"
#include "String.h"

#include <unordered_set>

BOOL IsPathPattern(LPCSTR pszPath);

class CFileIdentity
{
public:
    // FALSE when the path is a pattern or names nothing that can be opened.
    BOOL Read(LPCSTR pszPath);
    BOOL IsSameFile(const CFileIdentity& other) const;

private:
    friend class CFileIdentitySet;

    BOOL m_bHasIndex = FALSE;
    DWORD m_nVolume = 0;
    ULONGLONG m_nIndex = 0;
    CString m_strLongPath;
};

// Identities looked up in constant time.
class CFileIdentitySet
{
public:
    void Add(const CFileIdentity& identity);
    BOOL Contains(const CFileIdentity& identity) const;

private:
    struct CIndexKey
    {
        DWORD nVolume;
        ULONGLONG nIndex;
        bool operator==(const CIndexKey& other) const
        {
            return nVolume == other.nVolume && nIndex == other.nIndex;
        }
    };
    struct CIndexKeyHash
    {
        size_t operator()(const CIndexKey& key) const
        {
            return std::hash<ULONGLONG>()(key.nIndex) ^ (static_cast<size_t>(key.nVolume) << 1);
        }
    };

    std::unordered_set<CIndexKey, CIndexKeyHash> m_indexes;
    CPathSet m_longPaths;
};
