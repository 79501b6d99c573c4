// The relaunch: the first run starts a temporary copy of the program, the
// copy waits for the first run to end and deletes the program file.
#include "UninstallApp.h"

#include "AutoHandle.h"

#include <climits>
#include <cstdlib>
#include <cstring>

BOOL CUninstallApp::IsRelaunchCommandLine(LPCSTR pszCmdLine)
{
    return pszCmdLine != nullptr && pszCmdLine[0] == '$';
}

BOOL CUninstallApp::ParseRelaunchArguments(int argc, char** argv, HANDLE& hProcess,
                                           CString& strProgram)
{
    // More than four arguments means an unquoted program path was split at
    // a space; its first piece must not be taken for the program file.
    if (argc != 4 || std::strcmp(argv[1], "$") != 0)
        return FALSE;
    LPCSTR pszHandle = argv[2];
    if (*pszHandle == '\0' || std::strspn(pszHandle, "0123456789") != std::strlen(pszHandle))
        return FALSE;
    errno = 0;
    unsigned long long nHandle = std::strtoull(pszHandle, nullptr, 10);
    if (errno != 0 || nHandle == 0 || nHandle > INT_MAX)
        return FALSE;
    LPCSTR pszProgram = argv[3];
    if (*pszProgram == '\0' || std::strpbrk(pszProgram, "*?") != nullptr)
        return FALSE;
    hProcess = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(nHandle));
    strProgram = pszProgram;
    return TRUE;
}

BOOL CUninstallApp::RunAsRelocatedCopy()
{
    if (!IsRelaunchCommandLine(m_lpCmdLine))
        return FALSE;
    HANDLE hProcess;
    CString strProgram;
    if (!ParseRelaunchArguments(__argc, __argv, hProcess, strProgram))
        return TRUE;
    DWORD nWait = ::WaitForSingleObject(hProcess, INFINITE);
    ::CloseHandle(hProcess);
    // A handle that could not be waited on says nothing about the first
    // run having ended: delete nothing.
    if (nWait == WAIT_OBJECT_0)
        DeletePathAndEmptyParents(strProgram);
    return TRUE;
}

void CUninstallApp::StartRelocatedCopy()
{
    if (IsRelaunchCommandLine(m_lpCmdLine))
        return;
    char szProgram[MAX_PATH];
    char szTempFolder[MAX_PATH];
    char szCopy[MAX_PATH];
    DWORD nProgram = ::GetModuleFileNameA(nullptr, szProgram, MAX_PATH);
    DWORD nTempFolder = ::GetTempPathA(MAX_PATH, szTempFolder);
    if (nProgram == 0 || nProgram >= MAX_PATH || nTempFolder == 0 || nTempFolder >= MAX_PATH)
        return;
    if (::GetTempFileNameA(szTempFolder, "Del", 0, szCopy) == 0)
        return;
    // From here on the copy exists; every way out leaves it to be deleted
    // (by hand, or by the delete-on-close handle once the copy has ended).
    if (!::CopyFileA(szProgram, szCopy, FALSE))
    {
        ::DeleteFileA(szCopy);
        return;
    }
    CAutoHandle copy(::CreateFileA(szCopy, 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!copy.IsValid())
    {
        ::DeleteFileA(szCopy);
        return;
    }
    CAutoHandle self(::OpenProcess(SYNCHRONIZE, TRUE, ::GetCurrentProcessId()));
    if (!self.IsValid())
        return;

    // The copy's path is quoted, so a temporary folder with a space in it
    // still leaves the handle at argument 2 and the program at argument 3.
    CString strCmdLine;
    strCmdLine.Format("\"%s\" $ %u \"%s\"", szCopy,
                      static_cast<unsigned>(reinterpret_cast<UINT_PTR>(static_cast<HANDLE>(self))),
                      szProgram);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (::CreateProcessA(nullptr, strCmdLine.GetBuffer(strCmdLine.GetLength()), nullptr, nullptr,
                         TRUE, 0, nullptr, nullptr, &si, &pi))
    {
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
}
