#include "AppRemoval.h"

#include "ComRef.h"
#include "RegKey.h"
#include "RegistryPath.h"
#include "UninstallApp.h"

#include <shlobj.h>

namespace
{

const int c_nFirstOtherApp = 1;
const int c_nLastOtherApp = 50;

CString AppKeyPath(LPCSTR pszFamilyKey, int nApp)
{
    CString strKey;
    strKey.Format("%s\\App%i", pszFamilyKey, nApp);
    return strKey;
}

// The stored target of the shortcut, or "" when it cannot be read.
CString ReadShortcutTarget(LPCSTR pszShortcut)
{
    CComInit com;
    if (!com.Succeeded())
        return "";
    CComRef<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.Out())))
        return "";
    {
        CComRef<IPersistFile> file;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.Out())))
        {
            WCHAR szWide[MAX_PATH];
            if (::MultiByteToWideChar(CP_ACP, 0, pszShortcut, -1, szWide, MAX_PATH) > 0)
                file->Load(szWide, STGM_READ);
        }
    }
    char szTarget[MAX_PATH] = "";
    WIN32_FIND_DATAA fd = {};
    if (FAILED(link->GetPath(szTarget, MAX_PATH, &fd, 0)))
        return "";
    return szTarget;
}

} // namespace

void ReadAppValueList(LPCSTR pszKeyPath, LPCSTR pszFormat, std::vector<CString>& values)
{
    values.clear();
    CRegKey key(OpenKeyPath(HKEY_LOCAL_MACHINE, pszKeyPath, FALSE, KEY_READ | KEY_WRITE));
    if (key == nullptr)
        return;
    for (int n = 1;; ++n)
    {
        CString strName;
        strName.Format(pszFormat, n);
        char szValue[MAX_PATH];
        DWORD nSize = MAX_PATH;
        if (ReadKeyString(key, strName, szValue, nSize) != 0)
            return;
        values.push_back(szValue);
    }
}

CAppRemoval::CAppRemoval(CUninstallApp& app, LPCSTR pszFamilyKey, int nApp)
    : m_app(app), m_strFamilyKey(pszFamilyKey), m_strAppKey(AppKeyPath(pszFamilyKey, nApp))
{
}

const std::vector<CString>& CAppRemoval::OwnFiles()
{
    if (!m_bOwnFilesRead)
    {
        ReadAppValueList(m_strAppKey, "File %i", m_ownFiles);
        m_bOwnFilesRead = TRUE;
    }
    return m_ownFiles;
}

void CAppRemoval::DeleteAppShortcuts()
{
    std::vector<CString> shortcuts;
    ReadAppValueList(m_strAppKey, "Link %i", shortcuts);
    for (const CString& strShortcut : shortcuts)
    {
        if (ShortcutTargetsAppFile(strShortcut))
            m_app.DeletePathAndEmptyParents(strShortcut);
    }
}

BOOL CAppRemoval::ShortcutTargetsAppFile(LPCSTR pszShortcut)
{
    // An unreadable shortcut must not match an empty file value.
    CString strTarget = ReadShortcutTarget(pszShortcut);
    return !strTarget.IsEmpty() && AppListsFile(strTarget);
}

BOOL CAppRemoval::AppListsFile(LPCSTR pszPath)
{
    for (const CString& strFile : OwnFiles())
    {
        if (PathsEqual(strFile, pszPath))
            return TRUE;
    }
    return FALSE;
}

void CAppRemoval::DeleteAppFiles()
{
    for (const CString& strFile : OwnFiles())
    {
        if (!IsFileSharedByOtherApp(strFile))
            m_app.DeletePathAndEmptyParents(strFile);
    }
}

void CAppRemoval::ReadOtherAppLists()
{
    std::vector<CString> files;
    for (int j = c_nFirstOtherApp; j <= c_nLastOtherApp; ++j)
    {
        CString strOtherKey = AppKeyPath(m_strFamilyKey, j);
        if (PathsEqual(strOtherKey, m_strAppKey))
            continue;
        ReadAppValueList(strOtherKey, "File %i", files);
        for (const CString& strFile : files)
        {
            m_otherTexts.Add(strFile);
            if (!IsPathPattern(strFile))
                m_otherPlainPaths.push_back(strFile);
        }
    }
    m_bOtherListsRead = TRUE;
}

BOOL CAppRemoval::IsFileSharedByOtherApp(LPCSTR pszPath)
{
    if (!m_bOtherListsRead)
        ReadOtherAppLists();
    if (m_otherTexts.Contains(pszPath))
        return TRUE;
    CFileIdentity identity;
    if (!identity.Read(pszPath))
        return FALSE;
    if (!m_bOtherIdentitiesRead)
    {
        for (const CString& strOther : m_otherPlainPaths)
        {
            CFileIdentity other;
            if (other.Read(strOther))
                m_otherIdentities.Add(other);
        }
        m_bOtherIdentitiesRead = TRUE;
    }
    return m_otherIdentities.Contains(identity);
}
