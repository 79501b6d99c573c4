// RecentFileList.h - CRecentFileList, the most recently used file names.
//
// The newest name comes first; adding a name that is already listed
// (compared case-insensitively, multibyte-aware) moves it to the front, and
// the oldest name falls off when the list is full. The list is kept in the
// current application's profile, one entry per slot named by the entry
// format and the 1-based slot number ("File1", "File2", ...); an empty slot
// removes its entry.
#pragma once

#include "String.h"

#include <vector>

class CRecentFileList
{
public:
    CRecentFileList(LPCSTR pszSection, LPCSTR pszEntryFormat, UINT nSize);

    int GetSize() const { return static_cast<int>(m_arrNames.size()); }
    const CString& operator[](int nIndex) const { return m_arrNames[nIndex]; }

    void Add(LPCSTR pszPathName);
    void ReadList();
    void WriteList();

private:
    CString GetEntryName(int nIndex) const;

    CString m_strSection;
    CString m_strEntryFormat;
    std::vector<CString> m_arrNames;
};
