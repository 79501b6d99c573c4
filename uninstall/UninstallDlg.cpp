#include "UninstallDlg.h"

#include "ClientDC.h"
#include "DataExchange.h"
#include "RegistryPath.h"
#include "WinApp.h"
#include "resource.h"

namespace
{

const int c_nFirstApp = 0;
const int c_nLastApp = 49;
const int c_nIconSize = 48;

// Width in pixels of the text on one line, "&" an ordinary character.
int MeasureText(CClientDC& dc, LPCSTR pszText)
{
    RECT rc = {0, 0, 3000, 3000};
    dc.DrawText(pszText, -1, &rc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return rc.right - rc.left;
}

} // namespace

BEGIN_MESSAGE_MAP(CUninstallDlg, CDialog)
ON_BN_CLICKED(IDC_REMOVE, &CUninstallDlg::OnRemove)
ON_LBN_SELCHANGE(IDC_APPS, &CUninstallDlg::OnSelchangeApps)
// Escape and the caption's close button come as IDCANCEL: they close the
// same way as the Close button.
ON_BN_CLICKED(IDCANCEL, &CUninstallDlg::OnOK)
ON_WM_DRAWITEM()
END_MESSAGE_MAP()

CUninstallDlg::CUninstallDlg(LPCSTR pszKey, BOOL bGerman, CWnd* pParent)
    : CDialog(bGerman ? IDD_UNINSTALL_GERMAN : IDD_UNINSTALL_ENGLISH, pParent), m_strKey(pszKey)
{
}

CUninstallDlg::~CUninstallDlg()
{
    if (m_hIcon != nullptr)
        ::DestroyIcon(m_hIcon);
}

void CUninstallDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_APP_ICON, m_btnIcon);
    DDX_Control(pDX, IDC_REMOVE, m_btnRemove);
    DDX_Control(pDX, IDC_APPS, m_listApps);
    if (!pDX->m_bSaveAndValidate)
        m_btnRemove.EnableWindow(m_listApps.GetSelCount() > 0);
}

void CUninstallDlg::OnSelchangeApps()
{
    UpdateData(FALSE);
}

BOOL CUninstallDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    m_hIcon =
        static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_UNINSTALL),
                                        IMAGE_ICON, c_nIconSize, c_nIconSize, LR_DEFAULTCOLOR));
    m_btnIcon.SetWindowPos(nullptr, 0, 0, c_nIconSize, c_nIconSize, SWP_NOZORDER | SWP_NOMOVE);
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    FillList();
    return TRUE;
}

void CUninstallDlg::FillList()
{
    int nWidestName = 0;
    int nWidestFolder = 0;
    CClientDC dc(&m_listApps);
    for (int i = c_nFirstApp; i <= c_nLastApp; ++i)
    {
        CString strAppKey;
        strAppKey.Format("%s\\App%i", static_cast<LPCSTR>(m_strKey), i);
        char szFolder[MAX_PATH];
        char szName[MAX_PATH];
        DWORD nFolder = MAX_PATH;
        DWORD nName = MAX_PATH;
        if (ReadRegString(HKEY_LOCAL_MACHINE, strAppKey, "Directory", szFolder, nFolder) != 0 ||
            ReadRegString(HKEY_LOCAL_MACHINE, strAppKey, "AppName", szName, nName) != 0)
            continue;

        CString strItem;
        strItem.Format("%s\t%s", szName, szFolder);
        int nIndex = m_listApps.AddString(strItem);

        HGDIOBJ hOldFont = dc.SelectObject(m_listApps.GetFont());
        int nNameWidth = MeasureText(dc, szName);
        int nFolderWidth = MeasureText(dc, szFolder);
        dc.SelectObject(hOldFont);
        if (nNameWidth > nWidestName)
            nWidestName = nNameWidth;
        if (nFolderWidth > nWidestFolder)
            nWidestFolder = nFolderWidth;

        m_listApps.SetItemData(nIndex, static_cast<DWORD_PTR>(i));
    }

    // Tab stops are in dialog units, the extent in pixels.
    RECT rcUnits = {0, 0, 1000, 1000};
    MapDialogRect(&rcUnits);
    int nUnitsWidth = rcUnits.right - rcUnits.left;
    int nGap = ::MulDiv(12, nUnitsWidth, 1000);
    int nTabStop = ::MulDiv(nWidestName + nGap, 1000, nUnitsWidth);
    m_listApps.SetTabStops(nTabStop);
    m_listApps.SetHorizontalExtent(nGap + nWidestName + nWidestFolder);
}

void CUninstallDlg::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (nIDCtl != IDC_APP_ICON)
    {
        CDialog::OnDrawItem(nIDCtl, lpDrawItemStruct);
        return;
    }
    // The image alone, without its mask: the icon's ground is drawn too.
    ::DrawIconEx(lpDrawItemStruct->hDC, lpDrawItemStruct->rcItem.left, lpDrawItemStruct->rcItem.top,
                 m_hIcon, c_nIconSize, c_nIconSize, 0, nullptr, DI_IMAGE);
}
