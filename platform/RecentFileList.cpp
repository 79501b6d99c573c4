#include "RecentFileList.h"

#include "WinApp.h"

#include <cstdio>
#include <mbstring.h>

CRecentFileList::CRecentFileList(LPCSTR pszSection, LPCSTR pszEntryFormat, UINT nSize)
    : m_strSection(pszSection), m_strEntryFormat(pszEntryFormat), m_arrNames(nSize)
{
}

void CRecentFileList::Add(LPCSTR pszPathName)
{
    if (m_arrNames.empty() || pszPathName == nullptr || *pszPathName == '\0')
        return;
    const unsigned char* pszNew = reinterpret_cast<const unsigned char*>(pszPathName);
    size_t nFound = m_arrNames.size() - 1;
    for (size_t i = 0; i < m_arrNames.size(); ++i)
    {
        LPCSTR pszOld = m_arrNames[i];
        if (_mbsicmp(reinterpret_cast<const unsigned char*>(pszOld), pszNew) == 0)
        {
            nFound = i;
            break;
        }
    }
    for (size_t i = nFound; i > 0; --i)
        m_arrNames[i] = m_arrNames[i - 1];
    m_arrNames[0] = pszPathName;
}

CString CRecentFileList::GetEntryName(int nIndex) const
{
    char szEntry[64];
    std::snprintf(szEntry, sizeof(szEntry), m_strEntryFormat, nIndex + 1);
    return szEntry;
}

void CRecentFileList::ReadList()
{
    CWinApp* pApp = AfxGetApp();
    for (int i = 0; i < GetSize(); ++i)
        m_arrNames[i] = pApp->GetProfileString(m_strSection, GetEntryName(i), "");
}

void CRecentFileList::WriteList()
{
    CWinApp* pApp = AfxGetApp();
    for (int i = 0; i < GetSize(); ++i)
    {
        const CString& strName = m_arrNames[i];
        pApp->WriteProfileString(m_strSection, GetEntryName(i),
                                 strName.IsEmpty() ? nullptr : static_cast<LPCSTR>(strName));
    }
}
