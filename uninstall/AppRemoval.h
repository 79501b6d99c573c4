// AppRemoval.h - removing one recorded application: its shortcuts, then its
// files. The caller deletes the list item and the application key after.
//
// A shortcut goes only when its stored target (nothing resolved) is one of
// the application's own file values, compared as text. A file goes unless
// another application key App1..App50 lists it: as the same text, or, for
// two plain paths, as another spelling of the same existing file. Patterns
// are shared only with the same pattern text. Everything goes through
// DeletePathAndEmptyParents, so emptied folders go too. Nothing is
// reported: what cannot be deleted stays.
//
// Cost: the application's own values and every other application's file
// list are read once per removal, and each plain path's identity is read
// at most once, so the work grows linearly with the number of files.
#pragma once

#include "FileIdentity.h"
#include "PathSet.h"
#include "String.h"

#include <vector>

class CUninstallApp;

// Reads the values named by pszFormat ("File %i", "Link %i") and 1, 2, ...
// of the key until the first that cannot be read. The key path is walked
// once; each value is then read below the open key.
void ReadAppValueList(LPCSTR pszKeyPath, LPCSTR pszFormat, std::vector<CString>& values);

class CAppRemoval
{
public:
    CAppRemoval(CUninstallApp& app, LPCSTR pszFamilyKey, int nApp);

    const CString& GetKeyPath() const { return m_strAppKey; }

    void DeleteAppShortcuts();
    void DeleteAppFiles();

    // TRUE when the shortcut's stored target is one of the application's
    // file values. A shortcut that cannot be read has an empty target.
    BOOL ShortcutTargetsAppFile(LPCSTR pszShortcut);
    BOOL AppListsFile(LPCSTR pszPath);
    BOOL IsFileSharedByOtherApp(LPCSTR pszPath);

private:
    const std::vector<CString>& OwnFiles();
    void ReadOtherAppLists();

    CUninstallApp& m_app;
    CString m_strFamilyKey;
    CString m_strAppKey;

    BOOL m_bOwnFilesRead = FALSE;
    std::vector<CString> m_ownFiles;

    BOOL m_bOtherListsRead = FALSE;
    CPathSet m_otherTexts;
    std::vector<CString> m_otherPlainPaths;
    // Filled from m_otherPlainPaths the first time a plain path's text
    // matches nothing.
    BOOL m_bOtherIdentitiesRead = FALSE;
    CFileIdentitySet m_otherIdentities;
};
