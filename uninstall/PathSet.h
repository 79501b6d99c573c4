// PathSet.h - CPathSet, a set of paths compared as the uninstaller compares
// them: _mbsicmp, multibyte and case-insensitive, nothing normalised.
//
// Lookups cost the same however many paths it holds: a path is hashed over
// its ASCII characters folded to lower case, leaving out every byte that
// _mbsicmp might fold in another way (double-byte characters, bytes of 0x80
// and above), so paths that _mbsicmp finds equal always share a bucket; the
// bucket is then searched with _mbsicmp itself.
#pragma once

#include "String.h"

#include <unordered_map>
#include <vector>

// The uninstaller's path comparison: _mbsicmp equal.
BOOL PathsEqual(LPCSTR pszA, LPCSTR pszB);

class CPathSet
{
public:
    void Add(LPCSTR pszPath);
    BOOL Contains(LPCSTR pszPath) const;

private:
    static size_t FoldedHash(LPCSTR pszPath);

    std::unordered_map<size_t, std::vector<CString>> m_buckets;
};
