// FileIdentity.h - which existing file or folder a plain path names, so that
// two spellings of one file (short names, forward slashes, relative parts, a
// doubled separator) can be recognised as the same file.
//
// Two identities are the same file when both carry the same file index and
// the same volume serial number; where the file system gives no index, when
// their full long paths are equal under _mbsicmp. A pattern (a path holding
// '*' or '?') and a path that names nothing have no identity: the
// uninstaller compares them as text only. Reading an identity opens the file
// for its attributes only, sharing everything, so it never stands in
// anyone's way.
//
// Cost: reading an identity takes the index alone, one open and one cheap
// query. The volume serial costs several times more (under Wine a round
// trip to the mount manager per file), so it is read only once two indexes
// match, at most once per identity, by opening the path again. A volume
// that can no longer be read counts as the same volume: the answer then
// keeps a file rather than deleting one.
#pragma once

#include "PathSet.h"
#include "String.h"

#include <unordered_map>
#include <vector>

BOOL IsPathPattern(LPCSTR pszPath);

class CFileIdentity
{
public:
    // FALSE when the path is a pattern or names nothing that can be opened.
    BOOL Read(LPCSTR pszPath);
    // May read the volumes of both.
    BOOL IsSameFile(CFileIdentity& other);

private:
    friend class CFileIdentitySet;

    BOOL IsOnSameVolume(CFileIdentity& other);
    // The volume serial, or c_nNoVolume when it cannot be read.
    LONGLONG Volume();

    static const LONGLONG c_nNoVolume = -2;

    CString m_strPath;
    BOOL m_bHasIndex = FALSE;
    ULONGLONG m_nIndex = 0;
    LONGLONG m_nVolume = -1; // -1 until read
    CString m_strLongPath;   // only without an index
};

// Identities found by index (or long path) in constant time.
class CFileIdentitySet
{
public:
    void Add(const CFileIdentity& identity);
    BOOL Contains(CFileIdentity& identity);

private:
    std::unordered_map<ULONGLONG, std::vector<CFileIdentity>> m_byIndex;
    CPathSet m_longPaths;
};
