// Removes one recorded application among many and prints the wall time and
// the number of registry calls, for the uninstaller's removal (each other
// application's file list read once per removed application) and for the
// direct algorithm that re-reads every other list for every file judged.
//
// Every application has its own files in its own folder plus a few files
// that all of them list; all files exist on disk. The family key lies below
// HKLM\SOFTWARE\ChimoraBench, as deep as the real one, and is deleted with
// the files at the end. Run under Wine from the 64-bit build.
#include "AppRemoval.h"
#include "RegistryCallCounter.h"
#include "RegistryPath.h"
#include "UninstallApp.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace
{

const char c_szBenchRoot[] = "SOFTWARE\\ChimoraBench";
const char c_szFamilyKey[] =
    "SOFTWARE\\ChimoraBench\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vintora Version 10.0";
const int c_nSharedFiles = 10;

// The application's files as recorded: its own, then the shared ones.
std::string FilePath(const std::string& strFolder, int nApp, int nFile, int nFiles)
{
    int nOwn = nFiles - c_nSharedFiles;
    if (nFile < nOwn)
        return strFolder + "\\App" + std::to_string(nApp) + "\\file" + std::to_string(nFile) +
               ".dat";
    return strFolder + "\\Shared\\lib" + std::to_string(nFile - nOwn) + ".dll";
}

void MakeFile(const std::string& strPath)
{
    HANDLE hFile = ::CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ::CloseHandle(hFile);
}

// Records applications 1..nApps with nFiles "File %i" values each (set up
// with whole-path registry calls: the setup is not what is measured).
void Record(const std::string& strFolder, int nApps, int nFiles)
{
    ::CreateDirectoryA(strFolder.c_str(), nullptr);
    ::CreateDirectoryA((strFolder + "\\Shared").c_str(), nullptr);
    for (int a = 1; a <= nApps; ++a)
    {
        ::CreateDirectoryA((strFolder + "\\App" + std::to_string(a)).c_str(), nullptr);
        HKEY hKey;
        std::string strKey = std::string(c_szFamilyKey) + "\\App" + std::to_string(a);
        ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, strKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, &hKey, nullptr);
        for (int n = 0; n < nFiles; ++n)
        {
            std::string strPath = FilePath(strFolder, a, n, nFiles);
            MakeFile(strPath);
            std::string strName = "File " + std::to_string(n + 1);
            ::RegSetValueExA(hKey, strName.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(strPath.c_str()),
                             static_cast<DWORD>(strPath.size() + 1));
        }
        ::RegCloseKey(hKey);
    }
}

BOOL DirectAppListsFile(LPCSTR pszAppKey, LPCSTR pszPath)
{
    for (int n = 1;; ++n)
    {
        char szValue[MAX_PATH];
        DWORD nSize = MAX_PATH;
        if (ReadRegString(HKEY_LOCAL_MACHINE, pszAppKey, ("File " + std::to_string(n)).c_str(),
                          szValue, nSize) != 0)
            return FALSE;
        if (PathsEqual(szValue, pszPath))
            return TRUE;
    }
}

// The algorithm as first written: every file judged re-reads App1..App50.
void DirectDeleteAppFiles(CUninstallApp& app, int nApp)
{
    std::string strAppKey = std::string(c_szFamilyKey) + "\\App" + std::to_string(nApp);
    for (int n = 1;; ++n)
    {
        char szFile[MAX_PATH];
        DWORD nSize = MAX_PATH;
        if (ReadRegString(HKEY_LOCAL_MACHINE, strAppKey.c_str(),
                          ("File " + std::to_string(n)).c_str(), szFile, nSize) != 0)
            return;
        BOOL bShared = FALSE;
        for (int j = 1; j <= 50 && !bShared; ++j)
        {
            std::string strOther = std::string(c_szFamilyKey) + "\\App" + std::to_string(j);
            bShared = !PathsEqual(strOther.c_str(), strAppKey.c_str()) &&
                      DirectAppListsFile(strOther.c_str(), szFile);
        }
        if (!bShared)
            app.DeletePathAndEmptyParents(szFile);
    }
}

void Run(CUninstallApp& app, const char* pszAlgorithm, int nApps, int nFiles, BOOL bDirect)
{
    char szTemp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, szTemp);
    std::string strFolder =
        std::string(szTemp) + "chimora-bench-" + std::to_string(::GetCurrentProcessId());
    Record(strFolder, nApps, nFiles);
    int nRemoved = nApps / 2;

    ResetRegistryCallCount();
    auto start = std::chrono::steady_clock::now();
    if (bDirect)
    {
        DirectDeleteAppFiles(app, nRemoved);
    }
    else
    {
        CAppRemoval removal(app, c_szFamilyKey, nRemoved);
        removal.DeleteAppFiles();
    }
    double dSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    LONGLONG nCalls = GetRegistryCallCount();

    int nDeleted = 0;
    for (int n = 0; n < nFiles; ++n)
        nDeleted += ::GetFileAttributesA(FilePath(strFolder, nRemoved, n, nFiles).c_str()) ==
                    INVALID_FILE_ATTRIBUTES;
    std::printf("%-12s %3d apps x %3d files: %8.2f s, %9lld registry calls (%6.1f per file), "
                "%d files deleted, %d shared kept\n",
                pszAlgorithm, nApps, nFiles, dSeconds, nCalls, static_cast<double>(nCalls) / nFiles,
                nDeleted, nFiles - nDeleted);
    std::fflush(stdout);

    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, c_szBenchRoot);
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, c_szBenchRoot);
    for (int a = 1; a <= nApps; ++a)
    {
        for (int n = 0; n < nFiles; ++n)
            ::DeleteFileA(FilePath(strFolder, a, n, nFiles).c_str());
        ::RemoveDirectoryA((strFolder + "\\App" + std::to_string(a)).c_str());
    }
    ::RemoveDirectoryA((strFolder + "\\Shared").c_str());
    ::RemoveDirectoryA(strFolder.c_str());
}

} // namespace

int main()
{
    if (!InstallRegistryCallCounter())
    {
        std::fprintf(stderr, "cannot count registry calls\n");
        return 1;
    }
    CUninstallApp app;
    Run(app, "lists once", 10, 100, FALSE);
    Run(app, "direct", 10, 100, TRUE);
    Run(app, "lists once", 50, 500, FALSE);
    return 0;
}
