#include "FileFind.h"

#include <cstring>

BOOL CFileFind::FindFile(LPCSTR pszName)
{
    Close();
    m_hFind = ::FindFirstFileA(pszName, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE)
        return FALSE;

    char szFull[MAX_PATH];
    DWORD nLength = ::GetFullPathNameA(pszName, MAX_PATH, szFull, nullptr);
    if (nLength == 0 || nLength >= MAX_PATH)
    {
        Close();
        return FALSE;
    }
    LPCSTR pszBackslash = std::strrchr(szFull, '\\');
    LPCSTR pszSlash = std::strrchr(szFull, '/');
    LPCSTR pszLast = pszBackslash > pszSlash ? pszBackslash : pszSlash;
    m_strRoot = pszLast ? CString(szFull, static_cast<int>(pszLast - szFull) + 1) : CString();
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (m_hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    m_found = m_next;
    if (::FindNextFileA(m_hFind, &m_next))
        return TRUE;
    Close();
    return FALSE;
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE)
    {
        ::FindClose(m_hFind);
        m_hFind = INVALID_HANDLE_VALUE;
    }
}

BOOL CFileFind::IsDots() const
{
    return std::strcmp(m_found.cFileName, ".") == 0 || std::strcmp(m_found.cFileName, "..") == 0;
}
