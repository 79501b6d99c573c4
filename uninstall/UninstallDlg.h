// UninstallDlg.h - CUninstallDlg, the list of installed applications.
//
// The list is filled once, from the application keys App0 to App49 below
// the family key that have both "AppName" and "Directory"; each item reads
// "name<TAB>folder" and carries its App number as item data, so the sorted
// list maps back to the keys. Remove is enabled exactly while something is
// selected.
//
// Remove removes the selected applications (AppRemoval.h) after the user has
// confirmed. Close, Escape and the caption's close button all run OnOK,
// which points the family's "UninstallString" at the highest-numbered
// remaining application's Uninstall.exe (App1..App49), deletes the family
// key when none remains, and ends the dialog with IDOK - the program then
// removes itself - unless the running program file is a remaining
// application's Uninstall.exe (as text, or as the same existing file), in
// which case it ends with IDCANCEL.
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
    void OnOK() override;

    void OnSelchangeApps();
    void OnRemove();

    CString m_strKey; // the family key path below HKEY_LOCAL_MACHINE
    CButton m_btnIcon;
    CButton m_btnRemove;
    CListBox m_listApps;
    HICON m_hIcon = nullptr;

private:
    void FillList();

    DECLARE_MESSAGE_MAP()
};
