// Controls.h - CButton and CListBox: typed message wrappers over a dialog's
// controls. Results are the controls' own (LB_ERR for a bad index).
#pragma once

#include "String.h"
#include "Wnd.h"

class CButton : public CWnd
{
};

class CListBox : public CWnd
{
public:
    int GetCount() const;
    int AddString(LPCSTR pszItem);
    int DeleteString(UINT nIndex);
    int GetText(int nIndex, CString& rString) const;
    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    int GetSel(int nIndex) const;
    int GetSelCount() const;
    // Tab stops in dialog units.
    BOOL SetTabStops(const int& nEachStop);
    void SetHorizontalExtent(int nExtent);
    int GetHorizontalExtent() const;
};
