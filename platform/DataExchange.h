// DataExchange.h - CDataExchange and DDX_Control, which bind a dialog's
// controls to the CWnd members that wrap them.
#pragma once

#include "Wnd.h"

class CDialog;

class CDataExchange
{
public:
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
    {
    }

    BOOL m_bSaveAndValidate; // TRUE: controls to members; FALSE: members to controls
    CDialog* m_pDlgWnd;
};

// Points rControl at the dialog's control nIDC, in either direction. Done on
// every exchange, so a dialog object run twice never holds a handle of its
// first, destroyed window.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
