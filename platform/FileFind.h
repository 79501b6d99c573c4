// FileFind.h - CFileFind, a search over a folder with FindFirstFileA.
//
// Use: BOOL bMore = finder.FindFile(path); while (bMore) { bMore =
// finder.FindNextFile(); ...the current match... }. FindNextFile makes the
// next match current and returns FALSE when that match is the last.
//
// A plain path matches the file or folder it names; a pattern matches every
// fitting entry of its folder, "." and ".." included, and, as on Windows,
// entries whose 8.3 short name fits. GetFilePath joins the match's name to
// the absolute form of the pattern's folder.
#pragma once

#include "String.h"

class CFileFind
{
public:
    CFileFind() = default;
    ~CFileFind() { Close(); }
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    BOOL FindFile(LPCSTR pszName = "*.*");
    BOOL FindNextFile();
    void Close();

    CString GetFileName() const { return m_found.cFileName; }
    CString GetFilePath() const { return m_strRoot + m_found.cFileName; }
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL IsDots() const;
    BOOL MatchesMask(DWORD dwMask) const { return (m_found.dwFileAttributes & dwMask) != 0; }

private:
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA m_found = {};
    WIN32_FIND_DATAA m_next = {};
    CString m_strRoot; // absolute folder of the pattern, with its separator
};
