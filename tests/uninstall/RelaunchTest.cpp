// Uninstall.exe (the 64-bit build beside this test) run as separate
// processes: the relaunched run, and a normal run closed either way.
#include "UninstallTestSupport.h"

#include <gtest/gtest.h>

namespace
{

const DWORD c_nTimeoutMs = 20000;

class RelaunchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_tmp.MakeFile("sentinel");
        m_tmp.MakeFolder("temp dir");
    }

    CTempFolder m_tmp;
};

TEST_F(RelaunchTest, RelaunchedRunWaitsForTheFirstProcessThenDeletesAndClimbs)
{
    m_tmp.MakeFile("App\\Bin\\Uninstall.exe");
    m_tmp.MakeFile("App\\data\\keep.txt");
    // The stand-in for the first process never runs until it is ended.
    HANDLE hFirst = StartProgram(ProgramBesideTest(), "", nullptr, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, hFirst);
    HANDLE hWait = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), hFirst, ::GetCurrentProcess(), &hWait,
                                  SYNCHRONIZE, TRUE, 0));

    HANDLE hCopy =
        StartProgram(ProgramBesideTest(), "$ " + std::to_string(reinterpret_cast<UINT_PTR>(hWait)) +
                                              " \"" + (m_tmp / "App\\Bin\\Uninstall.exe") + "\"");
    ASSERT_NE(nullptr, hCopy);
    ::CloseHandle(hWait);

    EXPECT_FALSE(Ended(hCopy, 500)) << "the copy did not wait";
    EXPECT_TRUE(m_tmp.Exists("App\\Bin\\Uninstall.exe"));

    ::TerminateProcess(hFirst, 0);
    ::CloseHandle(hFirst);
    EXPECT_TRUE(Ended(hCopy, c_nTimeoutMs));
    ::CloseHandle(hCopy);

    EXPECT_FALSE(m_tmp.Exists("App\\Bin"));
    EXPECT_TRUE(m_tmp.Exists("App\\data\\keep.txt"));
}

TEST_F(RelaunchTest, MalformedRelaunchEndsAtOnceAndDeletesNothing)
{
    m_tmp.MakeFile("App\\Uninstall.exe");
    std::string strQuoted = "\"" + (m_tmp / "App\\Uninstall.exe") + "\"";
    for (const std::string& strArgs :
         {std::string("$"), std::string("$ 12"), "$ abc " + strQuoted, "$ 0 " + strQuoted,
          "$ 12 " + m_tmp / "App\\Uninstall.exe" + " extra"})
    {
        SCOPED_TRACE(strArgs);
        HANDLE hRun = StartProgram(ProgramBesideTest(), strArgs);
        ASSERT_NE(nullptr, hRun);
        EXPECT_TRUE(Ended(hRun, c_nTimeoutMs));
        ::CloseHandle(hRun);
        EXPECT_TRUE(m_tmp.Exists("App\\Uninstall.exe"));
    }
}

// A normal run of a copy installed in an application's folder, closed with
// the given command.
class NormalRunTest : public RelaunchTest
{
protected:
    HANDLE RunAndClose(WORD nCommand)
    {
        m_tmp.MakeFolder("Prog");
        m_strProgram = m_tmp / "Prog\\Uninstall.exe";
        EXPECT_TRUE(::CopyFileA(ProgramBesideTest().c_str(), m_strProgram.c_str(), FALSE));
        m_strEnv = EnvironmentWithTemp(m_tmp / "temp dir");
        HANDLE hRun = StartProgram(m_strProgram, "", &m_strEnv);
        EXPECT_NE(nullptr, hRun);
        DWORD dwProcessId = ::GetProcessId(hRun);
        HWND hDlg = WaitForDialog("Vintora Uninstall", dwProcessId, c_nTimeoutMs);
        EXPECT_NE(nullptr, hDlg);
        ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nCommand, BN_CLICKED), 0);
        EXPECT_TRUE(Ended(hRun, c_nTimeoutMs));
        return hRun;
    }

    CFamilyKeyLock m_family;
    std::string m_strProgram;
    std::string m_strEnv;
};

TEST_F(NormalRunTest, DialogEndingWithCancelStartsNoCopy)
{
    // Closing keeps the program while an application in its folder remains.
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                                (std::string(CFamilyKeyLock::Path()) + "\\App1").c_str(), 0,
                                nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr));
    std::string strFolder = m_tmp / "Prog";
    ::RegSetValueExA(hKey, "Directory", 0, REG_SZ, reinterpret_cast<const BYTE*>(strFolder.c_str()),
                     static_cast<DWORD>(strFolder.size() + 1));
    ::RegCloseKey(hKey);
    HANDLE hRun = RunAndClose(IDCANCEL);
    ::CloseHandle(hRun);
    // A started copy would either still be in the temporary folder or,
    // having finished, have taken the program file with it.
    EXPECT_TRUE(FolderIsEmpty(m_tmp / "temp dir"));
    EXPECT_TRUE(PathExists(m_strProgram));
}

TEST_F(NormalRunTest, DialogEndingWithOkStartsACopyThatRemovesProgramAndItself)
{
    HANDLE hRun = RunAndClose(IDOK);
    ::CloseHandle(hRun);
    EXPECT_TRUE(WaitUntil([&] { return !m_tmp.Exists("Prog"); }, c_nTimeoutMs))
        << "program folder still there";
    // The copy lives in a folder whose path holds a space.
    EXPECT_TRUE(WaitUntil([&] { return FolderIsEmpty(m_tmp / "temp dir"); }, c_nTimeoutMs))
        << "temporary copy still there";
}

} // namespace
