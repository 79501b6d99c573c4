#include "CommApp.h"

#include "ModuleState.h"
#include "RecentFileList.h"

#include <commctrl.h>
#include <cstdlib>
#include <cstring>
#include <mbstring.h>

IMPLEMENT_DYNAMIC(CCommApp, CWinApp)

int g_bThemingAvailable = 0;

// The help path lives in a block of MAX_PATH characters and a terminator.
static const size_t HELP_PATH_ROOM = MAX_PATH;

CCommApp::CCommApp() = default;

CCommApp::~CCommApp() = default;

CString CCommApp::GetHelpFileName() const
{
    return CString();
}

CString CCommApp::GetModuleFolder() const
{
    char szPath[MAX_PATH + 1] = {0};
    DWORD nLength = ::GetModuleFileNameA(m_hInstance, szPath, MAX_PATH);
    szPath[nLength < MAX_PATH ? nLength : MAX_PATH] = '\0';
    const unsigned char* pszPath = reinterpret_cast<const unsigned char*>(szPath);
    const unsigned char* pszSlash = _mbsrchr(pszPath, '\\');
    return CString(szPath, pszSlash ? static_cast<int>(pszSlash - pszPath + 1) : 0);
}

// A new malloc block of HELP_PATH_ROOM + 1 bytes holding as much of pszPath
// as fits, cut between characters, never inside a double-byte one.
static LPSTR CopyHelpPath(LPCSTR pszPath)
{
    LPSTR pszBlock = static_cast<LPSTR>(std::malloc(HELP_PATH_ROOM + 1));
    if (pszBlock == nullptr)
        return nullptr;
    const unsigned char* pszStart = reinterpret_cast<const unsigned char*>(pszPath);
    const unsigned char* pszEnd = pszStart;
    while (*pszEnd != '\0' && static_cast<size_t>(_mbsinc(pszEnd) - pszStart) <= HELP_PATH_ROOM)
        pszEnd = _mbsinc(pszEnd);
    size_t nLength = static_cast<size_t>(pszEnd - pszStart);
    std::memcpy(pszBlock, pszPath, nLength);
    pszBlock[nLength] = '\0';
    return pszBlock;
}

BOOL CCommApp::InitInstance()
{
    BOOL bResult = CWinApp::InitInstance();
    ::InitCommonControls();

    g_bThemingAvailable = 0;
    HMODULE hTheme = ::GetModuleHandleA("uxtheme.dll");
    if (hTheme == nullptr)
        hTheme = ::LoadLibraryA("uxtheme.dll");
    if (hTheme != nullptr && ::GetProcAddress(hTheme, "IsAppThemed") != nullptr)
        g_bThemingAvailable = 1;

    m_bThemedNCDrawing = static_cast<int>(GetSharedProfileInt("Settings", "ThemedNCDrawingV10", 1));
    m_bShowContentDragging =
        static_cast<int>(GetSharedProfileInt("Settings", "ShowContentDragging", 1));

    LPSTR pszHelpPath = CopyHelpPath(GetModuleFolder() + GetHelpFileName());
    AfxReplaceString(&m_pszAppName, "Vintora");
    AfxGetModuleState()->m_lpszCurrentAppName = m_pszAppName;
    std::free(const_cast<char*>(m_pszHelpFilePath));
    m_pszHelpFilePath = pszHelpPath;
    return bResult;
}

int CCommApp::ExitInstance()
{
    AfxSetResourceHandle(AfxGetInstanceHandle());
    int nResult = CWinApp::ExitInstance();
    AfxReplaceString(&m_pszHelpFilePath, nullptr);
    AfxReplaceString(&m_pszProfileName, nullptr);
    if (m_bLaunchAtExit && m_pszExeName != nullptr)
        ::WinExec(m_pszExeName, static_cast<UINT>(m_nCmdShow));
    return nResult;
}

BOOL CCommApp::PreTranslateMessage(MSG* pMsg)
{
    BOOL bResult = CWinApp::PreTranslateMessage(pMsg);
    return pMsg->message == WM_DESTROY ? TRUE : bResult;
}

void CCommApp::AddToRecentFileList(LPCSTR pszPathName)
{
    CWinApp::AddToRecentFileList(pszPathName);
    if (m_pRecentFileList != nullptr)
        m_pRecentFileList->WriteList();
}
