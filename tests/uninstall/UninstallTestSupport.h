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

// Runs fnShow on this thread (it shows something modal) while fnDrive runs
// on a second thread; fnDrive must end the modal state. Returns when both
// have finished.
void RunModalWithDriver(const std::function<void()>& fnShow, const std::function<void()>& fnDrive);
