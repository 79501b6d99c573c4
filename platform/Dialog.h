// Dialog.h - CDialog, a modal dialog from a template resource.
//
// DoModal runs the dialog and returns what EndDialog was given, or -1 when
// the dialog could not be created. Messages go through the message map:
// IDOK runs OnOK and IDCANCEL OnCancel unless a derived map says otherwise;
// commands nobody maps go on to the application object.
//
// An exception that leaves a handler ends the dialog with -1 rather than
// unwinding through the system's window code.
#pragma once

#include "Wnd.h"

class CDataExchange;

class CDialog : public CWnd
{
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // bSaveAndValidate FALSE loads the controls, TRUE saves them.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
