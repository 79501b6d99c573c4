#include "WinApp.h"

#include "ModuleState.h"
#include "RecentFileList.h"
#include "Wnd.h"

#include <cstdlib>
#include <cstring>
#include <mbstring.h>

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

CWinApp::CWinApp(LPCSTR pszAppName) : m_pszAppName(nullptr)
{
    AfxReplaceString(&m_pszAppName, pszAppName);
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    pState->m_pCurrentWinApp = this;
    // Usable before the entry point runs, e.g. by tests that make their own
    // application object.
    m_hInstance = pState->m_hCurrentInstanceHandle;
}

CWinApp::~CWinApp()
{
    delete m_pRecentFileList;
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    if (pState->m_lpszCurrentAppName == m_pszAppName)
        pState->m_lpszCurrentAppName = nullptr;
    AfxReplaceString(&m_pszAppName, nullptr);
    AfxReplaceString(&m_pszExeName, nullptr);
    AfxReplaceString(&m_pszHelpFilePath, nullptr);
    AfxReplaceString(&m_pszProfileName, nullptr);
    if (pState->m_pCurrentWinApp == this)
        pState->m_pCurrentWinApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    if (m_pRecentFileList != nullptr)
        m_pRecentFileList->WriteList();
    return 0;
}

void CWinApp::OnHelp()
{
    if (m_pszHelpFilePath == nullptr)
        return;
    HWND hWnd = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
    ::WinHelpA(hWnd, m_pszHelpFilePath, HELP_FINDER, 0);
}

void CWinApp::InitModuleNames()
{
    char szPath[MAX_PATH + 1] = {0};
    DWORD nLength = ::GetModuleFileNameA(m_hInstance, szPath, MAX_PATH);
    szPath[nLength < MAX_PATH ? nLength : MAX_PATH] = '\0';

    const unsigned char* pszPath = reinterpret_cast<const unsigned char*>(szPath);
    const unsigned char* pszSlash = _mbsrchr(pszPath, '\\');
    CString strFolder(szPath, pszSlash ? static_cast<int>(pszSlash - pszPath + 1) : 0);
    CString strTitle(szPath + strFolder.GetLength());
    const unsigned char* pszDot =
        _mbsrchr(reinterpret_cast<const unsigned char*>(static_cast<LPCSTR>(strTitle)), '.');
    if (pszDot != nullptr)
        strTitle = strTitle.Left(
            static_cast<int>(reinterpret_cast<LPCSTR>(pszDot) - static_cast<LPCSTR>(strTitle)));

    if (m_pszExeName == nullptr)
        AfxReplaceString(&m_pszExeName, strTitle);
    if (m_pszAppName == nullptr)
        AfxReplaceString(&m_pszAppName, strTitle);
    if (m_pszHelpFilePath == nullptr)
        AfxReplaceString(&m_pszHelpFilePath, strFolder + strTitle + ".HLP");
    if (m_pszProfileName == nullptr)
        AfxReplaceString(&m_pszProfileName, strTitle + ".INI");
    AfxGetModuleState()->m_lpszCurrentAppName = m_pszAppName;
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    delete m_pRecentFileList;
    m_pRecentFileList = nullptr;
    if (nMaxMRU == 0)
        return;
    m_pRecentFileList = new CRecentFileList("Recent File List", "File%d", nMaxMRU);
    m_pRecentFileList->ReadList();
}

void CWinApp::AddToRecentFileList(LPCSTR pszPathName)
{
    if (m_pRecentFileList != nullptr)
        m_pRecentFileList->Add(pszPathName);
}

void CWinApp::EnableModeless(BOOL) {}

CWinApp* AfxGetApp()
{
    return AfxGetModuleState()->m_pCurrentWinApp;
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetModuleState()->m_hCurrentResourceHandle;
}

BOOL AfxLoadString(UINT nID, CString& rString)
{
    // LoadStringA cuts silently and reports the cut length, so grow until
    // the text is shorter than the buffer's room.
    for (int nSize = 256;; nSize *= 2)
    {
        int nLength =
            ::LoadStringA(AfxGetResourceHandle(), nID, rString.GetBuffer(nSize), nSize + 1);
        if (nLength < nSize || nSize >= 0x10000)
        {
            rString.ReleaseBuffer(nLength);
            return nLength > 0;
        }
    }
}

void AfxReplaceString(LPCSTR* ppsz, LPCSTR psz)
{
    std::free(const_cast<char*>(*ppsz));
    *ppsz = psz ? ::_strdup(psz) : nullptr;
}

int AfxWinMain(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return -1;
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    pState->m_hCurrentInstanceHandle = hInstance;
    pState->m_hCurrentResourceHandle = hInstance;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    try
    {
        return pApp->InitInstance() ? pApp->Run() : pApp->ExitInstance();
    }
    catch (const std::exception&)
    {
        return -1;
    }
}
