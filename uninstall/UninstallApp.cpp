#include "UninstallApp.h"

#include "RegistryPath.h"
#include "UninstallDlg.h"
#include "resource.h"

#include <commctrl.h>

BEGIN_MESSAGE_MAP(CUninstallApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CUninstallApp::CUninstallApp() = default;

CUninstallApp::~CUninstallApp() = default;

BOOL CUninstallApp::InitInstance()
{
    if (RunAsRelocatedCopy())
        return FALSE;
    ::InitCommonControls();

    CString strFamily;
    AfxLoadString(IDS_FAMILY_NAME, strFamily);
    CString strKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + strFamily;
    m_bGerman = IsGermanFamily(strKey);

    CUninstallDlg* pDlg = new CUninstallDlg(strKey, m_bGerman);
    m_pMainWnd = pDlg;
    if (pDlg->DoModal() == IDOK)
        StartRelocatedCopy();
    m_pMainWnd = nullptr;
    delete pDlg;
    return FALSE;
}

BOOL CUninstallApp::IsGermanFamily(LPCSTR pszFamilyKey)
{
    char szLanguage[128];
    DWORD nSize = sizeof(szLanguage);
    if (ReadRegString(HKEY_LOCAL_MACHINE, pszFamilyKey, "Language", szLanguage, nSize) != 0)
        return FALSE;
    return szLanguage[0] == 'D';
}

int CUninstallApp::AppMessageBox(UINT nID, UINT nType)
{
    CString strText;
    CString strCaption;
    AfxLoadString(m_bGerman ? nID + IDS_GERMAN_OFFSET : nID, strText);
    AfxLoadString(IDS_MESSAGE_CAPTION, strCaption);
    return ::MessageBoxA(nullptr, strText, strCaption, nType);
}
