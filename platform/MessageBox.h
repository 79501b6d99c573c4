// MessageBox.h - the pieces every application message box is built from.
//
// CWinApp::DoMessageBox and its overrides run a box inside a
// CMessageBoxScope, which for the life of the box disables the
// application's modeless windows and the owner's top-level window and puts
// the prompt's help context into the help-context slot; leaving the scope
// undoes all three in reverse order.
#pragma once

#include "String.h"

class CWinApp;

// Asks a window for the address of its help-context slot (a DWORD); 0 when
// it lends none.
#define WM_HELPPROMPTADDR 0x0376

// The owner for a box or popup: hParent, or else the main window of the
// current thread, lifted to the first window that is not a child; for no
// given parent, that window's last active popup. When phWndTop is given and
// the top-level window above the owner is enabled and is not the owner
// itself, it is disabled and returned there (else null is).
HWND AfxGetSafeOwner(HWND hParent, HWND* phWndTop);

// A prompt whose value is 0xFFFF or less is a string resource number; a
// missing resource and a null prompt give the empty text.
CString AfxGetPromptText(LPCSTR pszPrompt);

class CMessageBoxScope
{
public:
    CMessageBoxScope(CWinApp* pApp, UINT nIDPrompt);
    ~CMessageBoxScope();
    CMessageBoxScope(const CMessageBoxScope&) = delete;
    CMessageBoxScope& operator=(const CMessageBoxScope&) = delete;

    HWND GetOwner() const { return m_hWndOwner; }

private:
    CWinApp* m_pApp;
    HWND m_hWndOwner = nullptr;
    HWND m_hWndTop = nullptr;
    DWORD* m_pdwContext = nullptr;
    DWORD m_dwOldContext = 0;
};
