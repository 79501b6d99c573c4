// The closing step of CUninstallDlg: bring the family key up to date and
// decide whether the program removes itself.
#include "FileIdentity.h"
#include "RegistryPath.h"
#include "UninstallDlg.h"

namespace
{

const int c_nFirstRemaining = 1;
const int c_nLastRemaining = 49;

} // namespace

void CUninstallDlg::OnOK()
{
    // The file the relaunched copy would delete.
    char szOwn[MAX_PATH];
    DWORD nOwn = ::GetModuleFileNameA(nullptr, szOwn, MAX_PATH);
    if (nOwn == 0 || nOwn >= MAX_PATH)
        szOwn[0] = '\0';
    CFileIdentity own;
    BOOL bOwnIdentity = own.Read(szOwn);

    BOOL bNoneRemains = TRUE;
    BOOL bRemoveSelf = TRUE;
    for (int i = c_nFirstRemaining; i <= c_nLastRemaining; ++i)
    {
        CString strAppKey;
        strAppKey.Format("%s\\App%i", static_cast<LPCSTR>(m_strKey), i);
        char szFolder[MAX_PATH];
        DWORD nFolder = MAX_PATH;
        if (ReadRegString(HKEY_LOCAL_MACHINE, strAppKey, "Directory", szFolder, nFolder) != 0)
            continue;
        bNoneRemains = FALSE;
        CString strUninstaller = CString(szFolder) + "\\Uninstall.exe";
        WriteRegString(HKEY_LOCAL_MACHINE, m_strKey, "UninstallString", strUninstaller);
        if (!bRemoveSelf)
            continue;
        // Another spelling of the running file ("Directory" with a trailing
        // backslash, a short name) must keep it too: "UninstallString"
        // goes on naming it.
        CFileIdentity candidate;
        if (PathsEqual(szOwn, strUninstaller) ||
            (bOwnIdentity && candidate.Read(strUninstaller) && own.IsSameFile(candidate)))
            bRemoveSelf = FALSE;
    }
    if (bNoneRemains)
        DeleteKeyPath(HKEY_LOCAL_MACHINE, m_strKey);

    if (bRemoveSelf)
        CDialog::OnOK();
    else
        CDialog::OnCancel();
}
