// The two destructive routines. Their rules, in full:
// - DeletePathAndEmptyParents takes only a full path (drive or share): any
//   other is resolved against the current folder, which the removal itself
//   moves, and could name anything. It deletes the files a path or pattern
//   matches ("." and ".." never count as matches) and folders only through
//   RemoveEmptyFolderTree; then it climbs one folder at a time while the
//   last deletion succeeded, stopping below a drive or share root.
// - RemoveEmptyFolderTree first looks through the whole tree and removes
//   nothing if it finds a file, or a link or junction (which it does not
//   follow); only then removes the folders, deepest first.
#include "UninstallApp.h"

#include "FileFind.h"

namespace
{

int LastSeparator(const CString& strPath)
{
    int nBackslash = strPath.ReverseFind('\\');
    int nSlash = strPath.ReverseFind('/');
    return nBackslash > nSlash ? nBackslash : nSlash;
}

BOOL IsSeparator(char ch)
{
    return ch == '\\' || ch == '/';
}

// "", "X:", "\\server" and "\\server\share": the points the climb never
// goes past. A bare "X:" would be taken as that drive's current folder.
BOOL IsRootPath(const CString& strPath)
{
    int nLength = strPath.GetLength();
    if (nLength == 0 || (nLength == 2 && strPath[1] == ':'))
        return TRUE;
    if (nLength >= 2 && IsSeparator(strPath[0]) && IsSeparator(strPath[1]))
    {
        int nSeparators = 0;
        for (int i = 2; i < nLength; ++i)
            nSeparators += IsSeparator(strPath[i]);
        return nSeparators <= 1;
    }
    return FALSE;
}

// "X:\..." or "\\server\...": what does not depend on a current folder.
BOOL IsFullPath(LPCSTR pszPath)
{
    if (IsSeparator(pszPath[0]))
        return IsSeparator(pszPath[1]);
    char chDrive = static_cast<char>(pszPath[0] | 0x20);
    return chDrive >= 'a' && chDrive <= 'z' && pszPath[1] == ':' && IsSeparator(pszPath[2]);
}

} // namespace

BOOL CUninstallApp::GetClimbParent(const CString& strPath, CString& strParent)
{
    int nSep = LastSeparator(strPath);
    if (nSep < 0)
        return FALSE;
    CString strCandidate = strPath.Left(nSep);
    if (IsRootPath(strCandidate))
        return FALSE;
    strParent = strCandidate;
    return TRUE;
}

void CUninstallApp::DeletePathAndEmptyParents(LPCSTR pszPath)
{
    if (pszPath == nullptr || !IsFullPath(pszPath))
        return;
    CString strPath(pszPath);
    for (;;)
    {
        CFileFind finder;
        BOOL bMore = finder.FindFile(strPath);
        BOOL bDeleted = FALSE;
        BOOL bMatched = FALSE;
        CString strLast;
        while (bMore)
        {
            bMore = finder.FindNextFile();
            if (finder.IsDots())
                continue;
            bMatched = TRUE;
            strLast = finder.GetFilePath();
            bDeleted =
                finder.IsDirectory() ? RemoveEmptyFolderTree(strLast) : ::DeleteFileA(strLast);
        }
        CString strParent;
        if (!bMatched || !bDeleted || !GetClimbParent(strLast, strParent))
            return;
        strPath = strParent;
    }
}

BOOL CUninstallApp::RemoveEmptyFolderTree(LPCSTR pszFolder)
{
    if (pszFolder == nullptr || *pszFolder == '\0')
        return FALSE;
    CString strFolder(pszFolder);
    if (TreeHoldsFile(strFolder))
        return FALSE;
    return RemoveFolderTree(strFolder);
}

BOOL CUninstallApp::TreeHoldsFile(const CString& strFolder)
{
    CFileFind finder;
    BOOL bMore = finder.FindFile(strFolder + "/*.*");
    // A folder that cannot be listed may hold anything.
    if (!bMore)
        return TRUE;
    while (bMore)
    {
        bMore = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        if (!finder.IsDirectory() || finder.MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT))
            return TRUE;
        if (TreeHoldsFile(finder.GetFilePath()))
            return TRUE;
    }
    return FALSE;
}

BOOL CUninstallApp::RemoveFolderTree(const CString& strFolder)
{
    CFileFind finder;
    BOOL bMore = finder.FindFile(strFolder + "/*.*");
    while (bMore)
    {
        bMore = finder.FindNextFile();
        if (!finder.IsDots() && finder.IsDirectory() && !RemoveFolderTree(finder.GetFilePath()))
            return FALSE;
    }
    finder.Close();
    // Our own current folder inside the tree would keep it from going.
    ::SetCurrentDirectoryA(strFolder + "/..");
    return ::RemoveDirectoryA(strFolder);
}
