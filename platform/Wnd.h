// Wnd.h - CWnd, a non-owning wrapper of a window handle.
//
// A CWnd never creates or destroys its window: the dialog manager creates a
// dialog's controls and destroys them with it. Window messages reach a CWnd
// only through a dialog (Dialog.h), which hands them to OnWndMsg.
#pragma once

#include "CmdTarget.h"

class CWnd : public CCmdTarget
{
public:
    CWnd() = default;

    HWND GetSafeHwnd() const { return m_hWnd; }
    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    HWND Detach();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    HFONT GetFont() const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    void MapDialogRect(RECT* pRect) const;

    // Routes one message through the message map; FALSE when no entry took it.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // Owner-drawn controls without a handler of their own are left as they are.
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);

    HWND m_hWnd = nullptr;
};
