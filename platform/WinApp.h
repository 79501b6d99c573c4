// WinApp.h - CWinApp, the one application object of a module.
//
// The module (a program or a DLL) defines exactly one global object of a
// class derived from CWinApp; its constructor makes it the module's current
// application (AfxGetApp). A program's entry point (AppMain.cpp) fills in the
// instance and command line and calls InitInstance; a dialog program returns
// FALSE from InitInstance and so ends without a message loop, its exit code
// then being ExitInstance's result. A DLL's entry point (DllMain.cpp) calls
// InitInstance on process attach (FALSE fails the load) and ExitInstance on
// detach, after filling in the default names from the DLL's file name.
//
// The names m_pszAppName, m_pszExeName, m_pszHelpFilePath and
// m_pszProfileName are heap blocks (malloc) that the application owns and
// frees; whoever replaces one frees the old block first. m_pszRegistryKey is
// borrowed and never freed.
//
// Profile: without a registry key, a private profile file named by
// m_pszProfileName (a bare name resolves in the Windows folder); with one,
// HKEY_CURRENT_USER\software\<key>\<profile name>\<section>, keys created
// as needed on reading too, integers as REG_DWORD and strings as REG_SZ.
#pragma once

#include "String.h"
#include "WinThread.h"

class CRecentFileList;

// The standard help command, routed to CWinApp::OnHelp by a program's map.
#define ID_HELP 0xE146

class CWinApp : public CWinThread
{
    DECLARE_DYNAMIC(CWinApp)

public:
    explicit CWinApp(LPCSTR pszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    int ExitInstance() override;

    // Opens the help file m_pszHelpFilePath when one is set.
    void OnHelp();

    // Fills each name still null from the file name of m_hInstance's module:
    // exe and application name are its title, the help path its folder and
    // title with ".HLP", the profile name its title with ".INI".
    void InitModuleNames();

    // A missing or unreadable entry gives the default.
    UINT GetProfileInt(LPCSTR pszSection, LPCSTR pszEntry, int nDefault);
    CString GetProfileString(LPCSTR pszSection, LPCSTR pszEntry, LPCSTR pszDefault = nullptr);
    BOOL WriteProfileInt(LPCSTR pszSection, LPCSTR pszEntry, int nValue);
    BOOL WriteProfileString(LPCSTR pszSection, LPCSTR pszEntry, LPCSTR pszValue);

    // Creates the recent-file list of nMaxMRU entries (none for 0) and reads
    // it from the profile; ExitInstance writes it back.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    virtual void AddToRecentFileList(LPCSTR pszPathName);

    // Every message box of the application: pszPrompt is a text or, when
    // its value is 0xFFFF or less, a string resource number. The caption is
    // m_pszAppName; a box without icon gets the exclamation icon for OK and
    // OK/Cancel, the question icon for Yes/No and Yes/No/Cancel.
    virtual int DoMessageBox(LPCSTR pszPrompt, UINT nType, UINT nIDPrompt);
    // Called with FALSE before a modal box and TRUE after it; the platform
    // keeps no modeless windows of its own.
    virtual void EnableModeless(BOOL bEnable);

    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr; // what follows the program's name
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCSTR m_pszAppName;
    LPCSTR m_pszExeName = nullptr;
    LPCSTR m_pszHelpFilePath = nullptr;
    LPCSTR m_pszProfileName = nullptr;
    LPCSTR m_pszRegistryKey = nullptr;
    // Help context of the message box being shown (0x30000 + prompt id).
    DWORD m_dwPromptContext = 0;
    CRecentFileList* m_pRecentFileList = nullptr;

protected:
    typedef int(WINAPI* PFNMESSAGEBOX)(HWND, LPCSTR, LPCSTR, UINT);
    // What every DoMessageBox shares: the prompt text, the owner and help
    // context while the box is up, the caption, and the default icon, here
    // nYesNoIcon for Yes/No boxes; pfnShow puts the box up.
    int ShowMessageBox(LPCSTR pszPrompt, UINT nType, UINT nIDPrompt, UINT nYesNoIcon,
                       PFNMESSAGEBOX pfnShow);
};

CWinApp* AfxGetApp();
// The module whose resources are loaded; the module's own by default.
HINSTANCE AfxGetResourceHandle();

// Loads string nID from the module's resources; FALSE (and an empty string)
// when there is none.
BOOL AfxLoadString(UINT nID, CString& rString);

// Frees *ppsz (a malloc block or null) and sets it to a copy of psz (or null).
void AfxReplaceString(LPCSTR* ppsz, LPCSTR psz);

int AfxWinMain(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow);
