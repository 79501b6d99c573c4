// UninstallDlg.h - CUninstallDlg, the list of installed applications.
//
// The list is filled once, from the application keys App0 to App49 below
// the family key that have both "AppName" and "Directory"; each item reads
// "name<TAB>folder" and carries its App number as item data, so the sorted
// list maps back to the keys. Remove is enabled exactly while something is
// selected.
#pragma once

#include "Controls.h"
#include "Dialog.h"
#include "String.h"

class CUninstallDlg : public CDialog
{
public:
    CUninstallDlg(LPCSTR pszKey, BOOL bGerman, CWnd* pParent = nullptr);
    ~CUninstallDlg() override;

    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnSelchangeApps();

    CString m_strKey; // the family key path below HKEY_LOCAL_MACHINE
    CButton m_btnIcon;
    CButton m_btnRemove;
    CListBox m_listApps;
    HICON m_hIcon = nullptr;

private:
    void FillList();

    DECLARE_MESSAGE_MAP()
};
