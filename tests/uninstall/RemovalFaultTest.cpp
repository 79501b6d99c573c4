// Faults met while Uninstall.exe removes an application, end to end: a file
// held open by another process, a read-only file, a folder that keeps a file
// nobody lists, a shortcut whose target is gone, a "Directory" with a
// trailing backslash, an application key with a subkey, a file value that is
// not a full path. Every run must end normally with the completion message,
// delete only what removal allows, and leave the registry as closing says.
//
// Alpha (App1) and Beta (App2) are recorded; the program runs from Alpha's
// folder and removes one of them.
#include "RemoveFlowFixture.h"
#include "resource.h"

#include <functional>
#include <ostream>

namespace
{

struct CFaultCase
{
    const char* pszName;
    const char* pszAlpha; // Alpha's lines after its AppName
    const char* pszRemove;
    // Runs after the installer; keeps in held what must stay open until the
    // checks are done.
    std::function<void(const CTempFolder& tmp, std::vector<HANDLE>& held)> fnInject;
    std::vector<const char*> gone;
    std::vector<const char*> stay;
    bool bKeyStays;             // the removed application's key
    const char* pszUninstall;   // "UninstallString" below the test's folder
    bool bProgramRemovesItself; // Alpha\Uninstall.exe, by the relaunched copy
};

void PrintTo(const CFaultCase& c, std::ostream* pOut)
{
    *pOut << c.pszName;
}

// This test process, not Uninstall.exe, opens the file for reading without
// FILE_SHARE_DELETE and keeps it open through the whole run: nobody can
// delete it meanwhile.
std::function<void(const CTempFolder&, std::vector<HANDLE>&)> HoldOpen(const char* pszRelative,
                                                                       DWORD dwShare)
{
    return [=](const CTempFolder& tmp, std::vector<HANDLE>& held)
    {
        HANDLE hFile = ::CreateFileA((tmp / pszRelative).c_str(), GENERIC_READ, dwShare, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, hFile);
        held.push_back(hFile);
    };
}

const char c_szAlphaFiles[] = "Directory=%T\\Alpha\nFile1=%T\\Alpha\\alpha.exe\n";

const CFaultCase c_cases[] = {
    {"HeldOpenSharingRead",
     "Directory=%T\\Alpha\nFile1=%T\\Alpha\\alpha.exe\nFile2=%T\\Alpha\\Bin\\busy.dll\n",
     "Alpha",
     HoldOpen("Alpha\\Bin\\busy.dll", FILE_SHARE_READ),
     {"Alpha\\alpha.exe", "Alpha\\Uninstall.exe"},
     {"Alpha\\Bin\\busy.dll"},
     false,
     "Beta\\Uninstall.exe",
     true},
    {"HeldOpenSharingNothing",
     "Directory=%T\\Alpha\nFile1=%T\\Alpha\\alpha.exe\nFile2=%T\\Alpha\\Bin\\busy.dll\n",
     "Alpha",
     HoldOpen("Alpha\\Bin\\busy.dll", 0),
     {"Alpha\\alpha.exe", "Alpha\\Uninstall.exe"},
     {"Alpha\\Bin\\busy.dll"},
     false,
     "Beta\\Uninstall.exe",
     true},
    // DeleteFileA refuses it; the attribute is the owner's, not ours to
    // clear.
    {"ReadOnlyFile",
     "Directory=%T\\Alpha\nFile1=%T\\Alpha\\alpha.exe\nFile2=%T\\Alpha\\Bin\\fixed.txt\n",
     "Alpha",
     [](const CTempFolder& tmp, std::vector<HANDLE>&)
     {
         ASSERT_TRUE(::SetFileAttributesA((tmp / "Alpha\\Bin\\fixed.txt").c_str(),
                                          FILE_ATTRIBUTE_READONLY));
     },
     {"Alpha\\alpha.exe", "Alpha\\Uninstall.exe"},
     {"Alpha\\Bin\\fixed.txt"},
     false,
     "Beta\\Uninstall.exe",
     true},
    {"FolderAlsoHoldsAnUnlistedFile",
     "Directory=%T\\Alpha\nFile1=%T\\Alpha\\alpha.exe\nFile2=%T\\Alpha\\Data\\data.bin\n",
     "Alpha",
     [](const CTempFolder& tmp, std::vector<HANDLE>&) { tmp.MakeFile("Alpha\\Data\\user.cfg"); },
     {"Alpha\\alpha.exe", "Alpha\\Data\\data.bin", "Alpha\\Uninstall.exe"},
     {"Alpha\\Data\\user.cfg"},
     false,
     "Beta\\Uninstall.exe",
     true},
    // The stored target decides, whether or not it is still there.
    {"ShortcutWhoseTargetIsMissing",
     "Directory=%T\\Alpha\nFile1=%T\\Alpha\\alpha.exe\nFile2=%T\\Alpha\\help.txt\n"
     "Link1=%T\\Links\\Help.lnk>%T\\Alpha\\help.txt\n"
     "Link2=%T\\Links\\Lost.lnk>%T\\Lost\\lost.exe\n",
     "Alpha",
     [](const CTempFolder& tmp, std::vector<HANDLE>&)
     { ASSERT_TRUE(::DeleteFileA((tmp / "Alpha\\help.txt").c_str())); },
     {"Links\\Help.lnk", "Alpha"},
     {"Links\\Lost.lnk"},
     false,
     "Beta\\Uninstall.exe",
     true},
    // Alpha stays; its uninstaller path is "...\Alpha\\Uninstall.exe" as
    // text, the running program all the same.
    {"RemainingDirectoryWithTrailingBackslash",
     "Directory=%T\\Alpha\\\nFile1=%T\\Alpha\\alpha.exe\n",
     "Beta",
     nullptr,
     {"Beta\\beta.exe"},
     {"Alpha\\alpha.exe", "Alpha\\Uninstall.exe"},
     false,
     "Alpha\\\\Uninstall.exe",
     false},
    {"RemovedDirectoryWithTrailingBackslash",
     "Directory=%T\\Alpha\\\nFile1=%T\\Alpha\\alpha.exe\n",
     "Alpha",
     nullptr,
     {"Alpha"},
     {"Beta\\beta.exe", "Beta\\Uninstall.exe"},
     false,
     "Beta\\Uninstall.exe",
     true},
    // The key keeps its "Directory", so Alpha still counts as remaining and
    // the program, its Uninstall.exe, stays.
    {"AppKeyWithASubkey",
     c_szAlphaFiles,
     "Alpha",
     [](const CTempFolder&, std::vector<HANDLE>&)
     {
         HKEY hSub;
         ASSERT_EQ(
             ERROR_SUCCESS,
             ::RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                               (std::string(CFamilyKeyLock::Path()) + "\\App1\\Components").c_str(),
                               0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hSub, nullptr));
         ::RegCloseKey(hSub);
     },
     {"Alpha\\alpha.exe"},
     {"Alpha\\Uninstall.exe"},
     true,
     "Beta\\Uninstall.exe",
     false},
    // The program starts in C:\; from there the value names a file of the
    // test's folder, which must not go.
    {"FileValueThatIsNotAFullPath",
     c_szAlphaFiles,
     "Alpha",
     [](const CTempFolder& tmp, std::vector<HANDLE>&)
     {
         tmp.MakeFile("Victim\\victim.txt");
         ASSERT_EQ(0, _strnicmp(tmp.Path().c_str(), "C:\\", 3));
         std::string strRelative = (tmp / "Victim\\victim.txt").substr(3);
         HKEY hKey;
         ASSERT_EQ(ERROR_SUCCESS,
                   ::RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                                   (std::string(CFamilyKeyLock::Path()) + "\\App1").c_str(), 0,
                                   KEY_ALL_ACCESS, &hKey));
         ::RegSetValueExA(hKey, "File 2", 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(strRelative.c_str()),
                          static_cast<DWORD>(strRelative.size() + 1));
         ::RegCloseKey(hKey);
     },
     {"Alpha\\alpha.exe", "Alpha\\Uninstall.exe"},
     {"Victim\\victim.txt"},
     false,
     "Beta\\Uninstall.exe",
     true},
};

class RemovalFaultTest : public RemoveFlowTest, public ::testing::WithParamInterface<CFaultCase>
{
protected:
    void TearDown() override
    {
        for (HANDLE hFile : m_held)
            ::CloseHandle(hFile);
    }

    std::vector<HANDLE> m_held;
};

TEST_P(RemovalFaultTest, RunEndsNormallyAndDeletesOnlyWhatRemovalAllows)
{
    const CFaultCase& c = GetParam();
    Install(std::string("[App1]\nAppName=Alpha\n") + c.pszAlpha +
                "[App2]\nAppName=Beta\nDirectory=%T\\Beta\nFile1=%T\\Beta\\beta.exe\n",
            "E");
    if (c.fnInject)
        c.fnInject(m_tmp, m_held);
    ASSERT_FALSE(HasFatalFailure());
    bool bRemoveAlpha = std::string(c.pszRemove) == "Alpha";
    int nRemovedApp = bRemoveAlpha ? 1 : 2;

    HWND hDlg = Start("Alpha", c_english.pszCaption);
    ASSERT_NE(nullptr, hDlg);
    HWND hList = ::GetDlgItem(hDlg, IDC_APPS);
    ASSERT_EQ(2u, ListItems(hList).size());
    SelectItem(hDlg, IDC_APPS, bRemoveAlpha ? 0 : 1);
    EXPECT_EQ((std::vector<std::string>{c_english.pszConfirm, c_english.pszDone}),
              Remove(hDlg, IDYES));
    std::vector<std::string> left = ListItems(hList);
    ASSERT_EQ(1u, left.size());
    EXPECT_EQ(bRemoveAlpha ? "Beta" : "Alpha", left[0].substr(0, left[0].find('\t')));
    Close(hDlg);

    if (c.bProgramRemovesItself)
        EXPECT_TRUE(WaitUntil([&] { return !m_tmp.Exists("Alpha\\Uninstall.exe"); }, c_nTimeoutMs))
            << "the program did not remove itself";
    else
        ::Sleep(500);
    EXPECT_TRUE(WaitUntil([&] { return FolderIsEmpty(m_tmp / "temp dir"); }, c_nTimeoutMs))
        << "temporary copy still there";
    for (const char* pszPath : c.gone)
        EXPECT_FALSE(m_tmp.Exists(pszPath)) << pszPath;
    for (const char* pszPath : c.stay)
        EXPECT_TRUE(m_tmp.Exists(pszPath)) << pszPath;

    std::string strDirectory;
    EXPECT_EQ(c.bKeyStays, ReadValue(AppKey(nRemovedApp), "Directory", strDirectory))
        << "a key that stays keeps its values";
    EXPECT_TRUE(KeyExists(AppKey(bRemoveAlpha ? 2 : 1)));
    EXPECT_EQ(m_tmp / c.pszUninstall, UninstallString());
}

INSTANTIATE_TEST_SUITE_P(Faults, RemovalFaultTest, ::testing::ValuesIn(c_cases),
                         [](const ::testing::TestParamInfo<CFaultCase>& info)
                         { return std::string(info.param.pszName); });

} // namespace
