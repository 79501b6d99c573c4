// InstallerStandIn.exe - records sample applications the way the family's
// installer does, so the uninstaller has something to list and remove.
//
//   InstallerStandIn.exe [--key FAMILYKEY] [--language L] [--uninstaller EXE]
//                        DESCRIPTION.ini
//
// The description is an INI file: section [Family] with Language=...;
// sections [App<n>] with AppName=, Directory=, File1=, File2=, ... (full
// paths; each is created with a line of text) and Link1=, Link2=, ...
// written "shortcut.lnk>target" (a real shell link is saved). Everything
// goes below HKEY_LOCAL_MACHINE\FAMILYKEY (default: the family's key under
// ...\CurrentVersion\Uninstall). --uninstaller copies that program into
// every application's folder as Uninstall.exe; --language replaces the
// description's Language.
//
// It writes the registry view of its own build; run the build of the same
// architecture as the Uninstall.exe that is to read it.
#include "ComRef.h"
#include "RegistryPath.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{

const char c_szFamilyKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vintora Version 10.0";

std::string Profile(const std::string& strFile, const char* pszSection, const std::string& strKey)
{
    char szValue[MAX_PATH] = "";
    ::GetPrivateProfileStringA(pszSection, strKey.c_str(), "", szValue, MAX_PATH, strFile.c_str());
    return szValue;
}

void MakeParentFolders(const std::string& strPath)
{
    for (size_t i = 3; i < strPath.size(); ++i)
    {
        if (strPath[i] == '\\' || strPath[i] == '/')
            ::CreateDirectoryA(strPath.substr(0, i).c_str(), nullptr);
    }
}

bool MakeFile(const std::string& strPath)
{
    MakeParentFolders(strPath);
    HANDLE hFile = ::CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    static const char s_szText[] = "sample file recorded by the installer stand-in\r\n";
    DWORD nWritten;
    ::WriteFile(hFile, s_szText, sizeof(s_szText) - 1, &nWritten, nullptr);
    ::CloseHandle(hFile);
    return true;
}

bool MakeShortcut(const std::string& strLink, const std::string& strTarget)
{
    MakeParentFolders(strLink);
    CComRef<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.Out())))
        return false;
    CComRef<IPersistFile> file;
    if (FAILED(link->SetPath(strTarget.c_str())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.Out())))
        return false;
    std::vector<WCHAR> wide(strLink.size() + 1);
    ::MultiByteToWideChar(CP_ACP, 0, strLink.c_str(), -1, wide.data(),
                          static_cast<int>(wide.size()));
    return SUCCEEDED(file->Save(wide.data(), TRUE));
}

int RecordApp(const std::string& strIni, const char* pszSection, const std::string& strFamily,
              const std::string& strUninstaller)
{
    std::string strKey = strFamily + "\\" + pszSection;
    std::string strDirectory = Profile(strIni, pszSection, "Directory");
    int nErrors = 0;
    for (const char* pszValue : {"AppName", "Directory"})
    {
        std::string strValue = Profile(strIni, pszSection, pszValue);
        if (!strValue.empty())
            nErrors +=
                WriteRegString(HKEY_LOCAL_MACHINE, strKey.c_str(), pszValue, strValue.c_str()) != 0;
    }
    for (int n = 1;; ++n)
    {
        std::string strFile = Profile(strIni, pszSection, "File" + std::to_string(n));
        if (strFile.empty())
            break;
        if (std::strpbrk(strFile.c_str(), "*?") == nullptr && !MakeFile(strFile))
        {
            std::fprintf(stderr, "cannot create %s\n", strFile.c_str());
            ++nErrors;
        }
        std::string strName = "File " + std::to_string(n);
        nErrors += WriteRegString(HKEY_LOCAL_MACHINE, strKey.c_str(), strName.c_str(),
                                  strFile.c_str()) != 0;
    }
    for (int n = 1;; ++n)
    {
        std::string strLine = Profile(strIni, pszSection, "Link" + std::to_string(n));
        size_t nArrow = strLine.find('>');
        if (nArrow == std::string::npos)
            break;
        std::string strLink = strLine.substr(0, nArrow);
        if (!MakeShortcut(strLink, strLine.substr(nArrow + 1)))
        {
            std::fprintf(stderr, "cannot create shortcut %s\n", strLink.c_str());
            ++nErrors;
        }
        std::string strName = "Link " + std::to_string(n);
        nErrors += WriteRegString(HKEY_LOCAL_MACHINE, strKey.c_str(), strName.c_str(),
                                  strLink.c_str()) != 0;
    }
    if (!strUninstaller.empty() && !strDirectory.empty())
    {
        std::string strCopy = strDirectory + "\\Uninstall.exe";
        MakeParentFolders(strCopy);
        if (!::CopyFileA(strUninstaller.c_str(), strCopy.c_str(), FALSE))
        {
            std::fprintf(stderr, "cannot copy the uninstaller to %s\n", strCopy.c_str());
            ++nErrors;
        }
    }
    std::printf("recorded %s: %s\n", pszSection, Profile(strIni, pszSection, "AppName").c_str());
    return nErrors;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: InstallerStandIn [--key FAMILYKEY] [--language L] [--uninstaller EXE] "
                 "DESCRIPTION.ini\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string strFamily = c_szFamilyKey;
    std::string strUninstaller;
    std::string strIni;
    std::string strLanguage;
    for (int i = 1; i < argc; ++i)
    {
        std::string strArg = argv[i];
        if (strArg == "--key" && i + 1 < argc)
            strFamily = argv[++i];
        else if (strArg == "--language" && i + 1 < argc)
            strLanguage = argv[++i];
        else if (strArg == "--uninstaller" && i + 1 < argc)
            strUninstaller = argv[++i];
        else if (strIni.empty() && strArg.compare(0, 2, "--") != 0)
            strIni = strArg;
        else
            return Usage();
    }
    if (strIni.empty())
        return Usage();
    char szFull[MAX_PATH];
    DWORD nFull = ::GetFullPathNameA(strIni.c_str(), MAX_PATH, szFull, nullptr);
    if (nFull == 0 || nFull >= MAX_PATH || ::GetFileAttributesA(szFull) == INVALID_FILE_ATTRIBUTES)
    {
        std::fprintf(stderr, "no description file %s\n", strIni.c_str());
        return 1;
    }
    strIni = szFull;

    if (FAILED(::CoInitialize(nullptr)))
        return 1;
    int nErrors = 0;
    if (strLanguage.empty())
        strLanguage = Profile(strIni, "Family", "Language");
    if (!strLanguage.empty())
        nErrors += WriteRegString(HKEY_LOCAL_MACHINE, strFamily.c_str(), "Language",
                                  strLanguage.c_str()) != 0;
    for (int n = 0; n < 100; ++n)
    {
        std::string strSection = "App" + std::to_string(n);
        if (!Profile(strIni, strSection.c_str(), "AppName").empty() ||
            !Profile(strIni, strSection.c_str(), "Directory").empty())
            nErrors += RecordApp(strIni, strSection.c_str(), strFamily, strUninstaller);
    }
    ::CoUninitialize();
    return nErrors == 0 ? 0 : 1;
}
