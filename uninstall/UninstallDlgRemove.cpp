// The Remove command of CUninstallDlg.
#include "AppRemoval.h"
#include "RegistryPath.h"
#include "UninstallApp.h"
#include "UninstallDlg.h"
#include "resource.h"

void CUninstallDlg::OnRemove()
{
    CUninstallApp* pApp = static_cast<CUninstallApp*>(AfxGetApp());
    if (pApp->AppMessageBox(IDS_CONFIRM_REMOVE, MB_YESNO) != IDYES)
        return;
    BeginWaitCursor();
    // From the bottom up, so the indexes still to visit keep their items.
    for (int nIndex = m_listApps.GetCount() - 1; nIndex >= 0; --nIndex)
    {
        if (m_listApps.GetSel(nIndex) <= 0)
            continue;
        CAppRemoval removal(*pApp, m_strKey, static_cast<int>(m_listApps.GetItemData(nIndex)));
        removal.DeleteAppShortcuts();
        removal.DeleteAppFiles();
        m_listApps.DeleteString(nIndex);
        // A key that still has subkeys stays although its item is gone.
        DeleteKeyPath(HKEY_LOCAL_MACHINE, removal.GetKeyPath());
    }
    EndWaitCursor();
    pApp->AppMessageBox(IDS_REMOVED, MB_OK);
}
