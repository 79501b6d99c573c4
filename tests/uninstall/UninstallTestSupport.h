// Fixtures for the uninstaller tests: a temporary folder and a registry
// family key of the test's own (both removed again), polling with a time
// limit, and a driver for dialogs shown by this or another process.
#pragma once

#include "String.h"

#include <functional>
#include <string>
#include <vector>

// A new empty folder below the prefix's temporary folder (C:\...), removed
// with everything in it when the object goes.
class CTempFolder
{
public:
    CTempFolder();
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::string& Path() const { return m_strPath; }
    // Path() + "\\" + relative.
    std::string operator/(const std::string& strRelative) const;
    // Creates the file (and its folders) with a few bytes in it.
    void MakeFile(const std::string& strRelative) const;
    void MakeFolder(const std::string& strRelative) const;
    BOOL Exists(const std::string& strRelative) const;

private:
    std::string m_strPath;
};

void MakeFolders(const std::string& strPath);
BOOL PathExists(const std::string& strPath);

// A key below HKLM\SOFTWARE\ChimoraTests of this test's own, deleted with
// its subkeys when the object goes.
class CTestKey
{
public:
    CTestKey();
    ~CTestKey();
    CTestKey(const CTestKey&) = delete;
    CTestKey& operator=(const CTestKey&) = delete;

    const std::string& Path() const { return m_strPath; }
    // Sets a REG_SZ value of the subkey (created when missing); "" is the
    // key itself.
    void Set(const std::string& strSubKey, const char* pszName, const std::string& strValue) const;

private:
    std::string m_strPath;
};

// Calls fnDone every 20 ms until it returns true or nTimeoutMs have passed.
bool WaitUntil(const std::function<bool()>& fnDone, DWORD nTimeoutMs);

// The visible top-level dialog ("#32770") of the process with that caption,
// polled for up to nTimeoutMs; null if none came.
HWND WaitForDialog(const char* pszCaption, DWORD dwProcessId, DWORD nTimeoutMs);

std::string WindowText(HWND hWnd);
std::vector<std::string> ListItems(HWND hList);
std::vector<DWORD_PTR> ListItemData(HWND hList);

// Selects (or, with bSelect false, deselects) every item of the dialog's
// list and tells the dialog, as a click in the list would.
void SelectAll(HWND hDlg, int nListId, bool bSelect);
void SelectItem(HWND hDlg, int nListId, int nIndex);

// Reads a REG_SZ value below HKEY_LOCAL_MACHINE; false when it cannot.
bool ReadValue(const std::string& strKey, const char* pszName, std::string& strValue);
bool KeyExists(const std::string& strKey);

// Uninstall.exe as built beside the test program.
std::string ProgramBesideTest(const char* pszName = "Uninstall.exe");
// This process's environment with TMP and TEMP pointing at strTemp, so a
// child's temporary copy lands where the test can watch it.
std::string EnvironmentWithTemp(const std::string& strTemp);
// Starts the program with that command line tail; the current folder is
// the drive root, so no folder under test is held open. Null on failure.
HANDLE StartProgram(const std::string& strProgram, const std::string& strArgs,
                    const std::string* pEnv = nullptr, DWORD dwFlags = 0);
bool Ended(HANDLE hProcess, DWORD nTimeoutMs);
bool FolderIsEmpty(const std::string& strFolder);

// The family key that Uninstall.exe itself reads. Tests that run the
// program take it for their whole length (other test processes of the
// prefix wait) and find it and leave it removed.
class CFamilyKeyLock
{
public:
    CFamilyKeyLock();
    ~CFamilyKeyLock();
    CFamilyKeyLock(const CFamilyKeyLock&) = delete;
    CFamilyKeyLock& operator=(const CFamilyKeyLock&) = delete;

    static const char* Path();

private:
    HANDLE m_hMutex;
};

// Runs fnShow on this thread (it shows something modal) while fnDrive runs
// on a second thread; fnDrive must end the modal state. Returns when both
// have finished.
void RunModalWithDriver(const std::function<void()>& fnShow, const std::function<void()>& fnDrive);
