#include "WinApp.h"

#include "Wnd.h"

CWinApp* CWinApp::s_pApp = nullptr;

CWinApp::CWinApp(LPCSTR pszAppName) : m_pszAppName(pszAppName)
{
    s_pApp = this;
    // Usable before the entry point runs, e.g. by tests that make their own
    // application object.
    m_hInstance = ::GetModuleHandleA(nullptr);
}

CWinApp::~CWinApp()
{
    if (s_pApp == this)
        s_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return ExitInstance();
}

void CWinApp::OnHelp()
{
    if (m_pszHelpFilePath == nullptr)
        return;
    HWND hWnd = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
    ::WinHelpA(hWnd, m_pszHelpFilePath, HELP_FINDER, 0);
}

CWinApp* AfxGetApp()
{
    return CWinApp::s_pApp;
}

HINSTANCE AfxGetResourceHandle()
{
    CWinApp* pApp = AfxGetApp();
    return pApp ? pApp->m_hInstance : ::GetModuleHandleA(nullptr);
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

int AfxWinMain(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return -1;
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
