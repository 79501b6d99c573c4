// CommApp.h - CCommApp, the application base class of the product family.
//
// Every application object of the family derives from it. InitInstance
// names the application "Vintora" (the caption of every message box), loads
// two user-interface settings from the family-wide shared store, notes
// whether the visual-styles library is there, and points the help path at
// the module's folder. While running, the recent-file list reaches the
// profile as soon as a file is added, WM_DESTROY is never dispatched from the
// message loop, and message boxes and idle processing follow the family's
// rules (CommAppMessages.cpp). ExitInstance can start a program.
//
// The shared store is HKEY_CURRENT_USER\software\Vintora\Options\<section>,
// REG_DWORD values. Its operations borrow the application's registry key and
// profile name for the length of one platform call: not re-entrant, and no
// other profile operation on the object may overlap them.
#pragma once

#include "Font.h"
#include "WinApp.h"

class CCommApp : public CWinApp
{
    DECLARE_DYNAMIC(CCommApp)

public:
    CCommApp();
    ~CCommApp() override;

    BOOL InitInstance() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL IsIdleMessage(MSG* pMsg) override;
    int ExitInstance() override;
    void AddToRecentFileList(LPCSTR pszPathName) override;
    int DoMessageBox(LPCSTR pszPrompt, UINT nType, UINT nIDPrompt) override;

    // The name of the family's resource library for this application.
    virtual LPCSTR GetResourceLibraryName() const = 0;
    // Appended to the module's folder to form the help path; empty here.
    virtual CString GetHelpFileName() const;

    // The folder of m_hInstance's module file with its final backslash;
    // empty when the name has no backslash.
    CString GetModuleFolder() const;

    // The shared value, or the default when the store has none. A value the
    // own profile still holds moves to the shared store first, once: the own
    // entry is then overwritten with a single space, which reads as empty.
    UINT GetSharedProfileInt(LPCSTR pszSection, LPCSTR pszEntry, int nDefault);
    BOOL WriteSharedProfileInt(LPCSTR pszSection, LPCSTR pszEntry, int nValue);

    int m_bThemedNCDrawing = 1;
    int m_bShowContentDragging = 1;
    CFont m_font;
    BOOL m_bLaunchAtExit = FALSE; // ExitInstance runs m_pszExeName

    // The idle filter's clock and the system's message box; tests replace
    // them.
    static DWORD(WINAPI* s_pfnGetTickCount)();
    static int(WINAPI* s_pfnMessageBox)(HWND hWnd, LPCSTR pszText, LPCSTR pszCaption, UINT nType);
};

// 1 once InitInstance has found "IsAppThemed" in uxtheme.dll.
extern int g_bThemingAvailable;
