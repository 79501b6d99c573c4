#include "UninstallTestSupport.h"

#include <cstring>
#include <thread>

namespace
{

LONG g_nCounter = 0;

std::string UniqueName()
{
    return "chimora-" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(::InterlockedIncrement(&g_nCounter));
}

// Test clean-up only: everything below the folder goes, read-only or not.
void RemoveTree(const std::string& strPath)
{
    WIN32_FIND_DATAA fd;
    HANDLE hFind = ::FindFirstFileA((strPath + "\\*").c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE)
    {
        do
        {
            std::string strName = fd.cFileName;
            if (strName == "." || strName == "..")
                continue;
            std::string strChild = strPath + "\\" + strName;
            ::SetFileAttributesA(strChild.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(strChild);
            else
                ::DeleteFileA(strChild.c_str());
        } while (::FindNextFileA(hFind, &fd));
        ::FindClose(hFind);
    }
    ::RemoveDirectoryA(strPath.c_str());
}

} // namespace

void MakeFolders(const std::string& strPath)
{
    for (size_t i = 3; i <= strPath.size(); ++i)
    {
        if (i == strPath.size() || strPath[i] == '\\')
            ::CreateDirectoryA(strPath.substr(0, i).c_str(), nullptr);
    }
}

BOOL PathExists(const std::string& strPath)
{
    return ::GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

CTempFolder::CTempFolder()
{
    char szTemp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, szTemp);
    m_strPath = std::string(szTemp) + UniqueName();
    MakeFolders(m_strPath);
}

CTempFolder::~CTempFolder()
{
    // Our current folder inside the tree would keep it.
    char szTemp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, szTemp);
    ::SetCurrentDirectoryA(szTemp);
    RemoveTree(m_strPath);
}

std::string CTempFolder::operator/(const std::string& strRelative) const
{
    return m_strPath + "\\" + strRelative;
}

void CTempFolder::MakeFile(const std::string& strRelative) const
{
    std::string strPath = *this / strRelative;
    MakeFolders(strPath.substr(0, strPath.rfind('\\')));
    HANDLE hFile = ::CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD nWritten;
    ::WriteFile(hFile, "data", 4, &nWritten, nullptr);
    ::CloseHandle(hFile);
}

void CTempFolder::MakeFolder(const std::string& strRelative) const
{
    MakeFolders(*this / strRelative);
}

BOOL CTempFolder::Exists(const std::string& strRelative) const
{
    return PathExists(*this / strRelative);
}

CTestKey::CTestKey() : m_strPath("SOFTWARE\\ChimoraTests\\" + UniqueName()) {}

CTestKey::~CTestKey()
{
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_strPath.c_str());
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, m_strPath.c_str());
}

void CTestKey::Set(const std::string& strSubKey, const char* pszName,
                   const std::string& strValue) const
{
    std::string strKey = strSubKey.empty() ? m_strPath : m_strPath + "\\" + strSubKey;
    HKEY hKey;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, strKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return;
    ::RegSetValueExA(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(strValue.c_str()),
                     static_cast<DWORD>(strValue.size() + 1));
    ::RegCloseKey(hKey);
}

bool WaitUntil(const std::function<bool()>& fnDone, DWORD nTimeoutMs)
{
    DWORD nStart = ::GetTickCount();
    for (;;)
    {
        if (fnDone())
            return true;
        if (::GetTickCount() - nStart >= nTimeoutMs)
            return false;
        ::Sleep(20);
    }
}

HWND WaitForDialog(const char* pszCaption, DWORD dwProcessId, DWORD nTimeoutMs)
{
    HWND hFound = nullptr;
    WaitUntil(
        [&]
        {
            for (HWND h = ::FindWindowExA(nullptr, nullptr, "#32770", pszCaption); h != nullptr;
                 h = ::FindWindowExA(nullptr, h, "#32770", pszCaption))
            {
                DWORD dwOwner = 0;
                ::GetWindowThreadProcessId(h, &dwOwner);
                if (dwOwner == dwProcessId && ::IsWindowVisible(h))
                {
                    hFound = h;
                    return true;
                }
            }
            return false;
        },
        nTimeoutMs);
    return hFound;
}

std::string WindowText(HWND hWnd)
{
    char szText[1024] = "";
    ::GetWindowTextA(hWnd, szText, sizeof(szText));
    return szText;
}

std::vector<std::string> ListItems(HWND hList)
{
    std::vector<std::string> items;
    int nCount = static_cast<int>(::SendMessageA(hList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i)
    {
        // Asked for in ANSI from another process, Wine hands back the
        // list's UTF-16 text unconverted; ask in UTF-16 and convert here.
        std::vector<WCHAR> wide(::SendMessageW(hList, LB_GETTEXTLEN, i, 0) + 1, L'\0');
        ::SendMessageW(hList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        std::vector<char> text(wide.size() * 2, '\0');
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text.data(),
                              static_cast<int>(text.size()), nullptr, nullptr);
        items.push_back(text.data());
    }
    return items;
}

std::vector<DWORD_PTR> ListItemData(HWND hList)
{
    std::vector<DWORD_PTR> data;
    int nCount = static_cast<int>(::SendMessageA(hList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i)
        data.push_back(::SendMessageA(hList, LB_GETITEMDATA, i, 0));
    return data;
}

namespace
{

// LB_SETSEL sends no notification; the list itself would on a click.
void NotifySelChange(HWND hDlg, int nListId)
{
    HWND hList = ::GetDlgItem(hDlg, nListId);
    ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nListId, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(hList));
}

} // namespace

void SelectAll(HWND hDlg, int nListId, bool bSelect)
{
    ::SendDlgItemMessageA(hDlg, nListId, LB_SETSEL, bSelect, -1);
    NotifySelChange(hDlg, nListId);
}

void SelectItem(HWND hDlg, int nListId, int nIndex)
{
    ::SendDlgItemMessageA(hDlg, nListId, LB_SETSEL, TRUE, nIndex);
    NotifySelChange(hDlg, nListId);
}

void RunModalWithDriver(const std::function<void()>& fnShow, const std::function<void()>& fnDrive)
{
    std::thread driver(fnDrive);
    fnShow();
    driver.join();
}

bool ReadValue(const std::string& strKey, const char* pszName, std::string& strValue)
{
    char szValue[1024];
    DWORD cbValue = sizeof(szValue);
    if (::RegGetValueA(HKEY_LOCAL_MACHINE, strKey.c_str(), pszName, RRF_RT_REG_SZ, nullptr, szValue,
                       &cbValue) != ERROR_SUCCESS)
        return false;
    strValue = szValue;
    return true;
}

bool KeyExists(const std::string& strKey)
{
    HKEY hKey;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, strKey.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

std::string ProgramBesideTest(const char* pszName)
{
    char szPath[MAX_PATH];
    ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string strPath = szPath;
    return strPath.substr(0, strPath.rfind('\\') + 1) + pszName;
}

std::string EnvironmentWithTemp(const std::string& strTemp)
{
    std::string strEnv;
    LPCH pEnv = ::GetEnvironmentStringsA();
    for (LPCSTR p = pEnv; *p; p += std::strlen(p) + 1)
    {
        if (_strnicmp(p, "TMP=", 4) != 0 && _strnicmp(p, "TEMP=", 5) != 0)
            strEnv.append(p, std::strlen(p) + 1);
    }
    ::FreeEnvironmentStringsA(pEnv);
    strEnv += "TMP=" + strTemp + '\0' + "TEMP=" + strTemp + '\0' + '\0';
    return strEnv;
}

HANDLE StartProgram(const std::string& strProgram, const std::string& strArgs,
                    const std::string* pEnv, DWORD dwFlags)
{
    std::string strCmdLine = "\"" + strProgram + "\" " + strArgs;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessA(strProgram.c_str(), &strCmdLine[0], nullptr, nullptr, TRUE, dwFlags,
                          pEnv ? const_cast<char*>(pEnv->c_str()) : nullptr, "C:\\", &si, &pi))
        return nullptr;
    ::CloseHandle(pi.hThread);
    return pi.hProcess;
}

bool Ended(HANDLE hProcess, DWORD nTimeoutMs)
{
    return ::WaitForSingleObject(hProcess, nTimeoutMs) == WAIT_OBJECT_0;
}

bool FolderIsEmpty(const std::string& strFolder)
{
    WIN32_FIND_DATAA fd;
    HANDLE hFind = ::FindFirstFileA((strFolder + "\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return true;
    bool bEmpty = true;
    do
        bEmpty = bEmpty && (!std::strcmp(fd.cFileName, ".") || !std::strcmp(fd.cFileName, ".."));
    while (::FindNextFileA(hFind, &fd));
    ::FindClose(hFind);
    return bEmpty;
}

const char* CFamilyKeyLock::Path()
{
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vintora Version 10.0";
}

CFamilyKeyLock::CFamilyKeyLock() : m_hMutex(::CreateMutexA(nullptr, FALSE, "ChimoraFamilyKeyTests"))
{
    ::WaitForSingleObject(m_hMutex, INFINITE);
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, Path());
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, Path());
}

CFamilyKeyLock::~CFamilyKeyLock()
{
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, Path());
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, Path());
    ::ReleaseMutex(m_hMutex);
    ::CloseHandle(m_hMutex);
}
