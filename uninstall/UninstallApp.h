// UninstallApp.h - CUninstallApp, the application object of Uninstall.exe.
//
// A normal run shows the dialog and, when it ends with IDOK, starts a
// temporary copy of the program (the relaunched run) and ends. The
// relaunched run's command line is
//     "<temporary copy>" $ <handle> "<program file>"
// where <handle> is an inherited SYNCHRONIZE handle to the first process: the
// copy waits on it, then deletes the program file and the folders above it
// that hold no file. The copy itself goes when it ends (delete on close).
#pragma once

#include "String.h"
#include "WinApp.h"

class CUninstallApp : public CWinApp
{
public:
    CUninstallApp();
    ~CUninstallApp() override;

    BOOL InitInstance() override;

    // TRUE when this run is a relaunched run; it has then done all its work.
    BOOL RunAsRelocatedCopy();
    // Starts the temporary copy; does nothing in a relaunched run.
    void StartRelocatedCopy();

    // Deletes what the path names (a file, a folder that holds no file, or
    // every match of a pattern) and then each parent folder in turn while it
    // can be removed, up to but never including a drive or share root. A
    // path that is not full ("X:\..." or "\\server\...") deletes nothing.
    void DeletePathAndEmptyParents(LPCSTR pszPath);
    // Removes the folder and all folders below it if no file, and nothing
    // that is not a plain folder, lies anywhere in the tree; else removes
    // nothing.
    BOOL RemoveEmptyFolderTree(LPCSTR pszFolder);

    // Shows message nID (its German variant when m_bGerman) with the family
    // caption; returns the button pressed.
    int AppMessageBox(UINT nID, UINT nType);

    // TRUE when the family key's "Language" begins with a capital 'D'; a
    // missing or unreadable value is English.
    static BOOL IsGermanFamily(LPCSTR pszFamilyKey);
    // The relaunched run's arguments: exactly "$", a handle number and the
    // program file, which must name one file (no wildcards). FALSE for
    // anything else, so a malformed run waits on and deletes nothing.
    static BOOL ParseRelaunchArguments(int argc, char** argv, HANDLE& hProcess,
                                       CString& strProgram);
    // The folder above pszPath that the climb goes on with; FALSE at a drive
    // or share root, or when the path has no folder part.
    static BOOL GetClimbParent(const CString& strPath, CString& strParent);

    BOOL m_bGerman = FALSE;

private:
    static BOOL IsRelaunchCommandLine(LPCSTR pszCmdLine);
    // The removal of a tree already known to hold no file.
    BOOL RemoveFolderTree(const CString& strFolder);
    static BOOL TreeHoldsFile(const CString& strFolder);

    DECLARE_MESSAGE_MAP()
};
