// WinApp.h - CWinApp, the one application object of a program.
//
// The program defines exactly one global object of a class derived from
// CWinApp; its constructor makes it the current application (AfxGetApp).
// The entry point (AppMain.cpp, linked into programs only) fills in the
// instance and command line and calls InitInstance. A dialog program returns
// FALSE from InitInstance and so ends without a message loop; the exit code
// is then ExitInstance's result.
//
// Kept free of anything a program's start-up does not need, so that a
// library's module object can derive from the same class.
#pragma once

#include "CmdTarget.h"
#include "String.h"

class CWnd;

// The standard help command, routed to CWinApp::OnHelp by a program's map.
#define ID_HELP 0xE146

class CWinApp : public CCmdTarget
{
public:
    explicit CWinApp(LPCSTR pszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The message loop, entered when InitInstance returns TRUE.
    virtual int Run();

    // Opens the help file m_pszHelpFilePath when one is set.
    void OnHelp();

    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr; // what follows the program's name
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCSTR m_pszAppName;
    LPCSTR m_pszHelpFilePath = nullptr;
    CWnd* m_pMainWnd = nullptr;

    static CWinApp* s_pApp;
};

CWinApp* AfxGetApp();
// The module whose resources are loaded; the program's own by default.
HINSTANCE AfxGetResourceHandle();

// Loads string nID from the program's resources; FALSE (and an empty string)
// when there is none.
BOOL AfxLoadString(UINT nID, CString& rString);

int AfxWinMain(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow);
