// The whole flow through Uninstall.exe (the 64-bit build beside this test):
// applications recorded by the installer stand-in, the dialog driven from
// here as a user would, then every file, shortcut and value checked.
#include "RemoveFlowFixture.h"
#include "resource.h"

namespace
{

class RemoveTwoAppsTest : public RemoveFlowTest, public ::testing::WithParamInterface<CLanguage>
{
};

// Alpha and Beta share a file; Alpha also has a pattern, a file listed
// twice, files that only App0 or App51 list besides it, and shortcuts to its
// own file, to Gamma's file and to an unlisted file. The program runs from
// Alpha's folder.
TEST_P(RemoveTwoAppsTest, NoChangesNothingThenYesRemovesBothAndTheProgramItself)
{
    const CLanguage& lang = GetParam();
    Install("[App0]\nAppName=Zero\nDirectory=%T\\Zero\nFile1=%T\\Alpha\\only0.txt\n"
            "[App1]\nAppName=Alpha\nDirectory=%T\\Alpha\nFile1=%T\\Alpha\\alpha.exe\n"
            "File2=%T\\Shared\\common.dll\nFile3=%T\\Alpha\\Data\\*.dat\n"
            "File4=%T\\ALPHA\\ALPHA.EXE\nFile5=%T\\Alpha\\only0.txt\nFile6=%T\\Alpha\\only51.txt\n"
            "Link1=%T\\Links\\Alpha.lnk>%T\\alpha\\alpha.exe\n"
            "Link2=%T\\Links\\ToGamma.lnk>%T\\Gamma\\gamma.exe\n"
            "Link3=%T\\Links\\Notes.lnk>%T\\Notes\\notes.txt\n"
            "[App2]\nAppName=Beta\nDirectory=%T\\Beta\nFile1=%T\\Beta\\beta.exe\n"
            "File2=%T\\Shared\\common.dll\nLink1=%T\\Links\\Beta.lnk>%T\\Beta\\beta.exe\n"
            "[App3]\nAppName=Gamma\nDirectory=%T\\Gamma\nFile1=%T\\Gamma\\gamma.exe\n"
            "[App51]\nAppName=Late\nDirectory=%T\\Late\nFile1=%T\\Alpha\\only51.txt\n",
            lang.pszCode);
    m_tmp.MakeFile("Alpha\\Data\\a.dat");
    m_tmp.MakeFile("Alpha\\Data\\b.dat");
    m_tmp.MakeFile("Notes\\notes.txt");

    HWND hDlg = Start("Alpha", lang.pszCaption);
    ASSERT_NE(nullptr, hDlg);
    HWND hList = ::GetDlgItem(hDlg, IDC_APPS);
    ASSERT_EQ(4u, ListItems(hList).size());
    SelectItem(hDlg, IDC_APPS, 0);
    SelectItem(hDlg, IDC_APPS, 1);

    EXPECT_EQ(std::vector<std::string>{lang.pszConfirm}, Remove(hDlg, IDNO));
    EXPECT_EQ(4u, ListItems(hList).size());
    EXPECT_TRUE(m_tmp.Exists("Alpha\\alpha.exe"));
    EXPECT_TRUE(m_tmp.Exists("Links\\Alpha.lnk"));
    EXPECT_TRUE(KeyExists(AppKey(1)));

    EXPECT_EQ((std::vector<std::string>{lang.pszConfirm, lang.pszDone}), Remove(hDlg, IDYES));
    EXPECT_EQ(
        (std::vector<std::string>{"Gamma\t" + (m_tmp / "Gamma"), "Zero\t" + (m_tmp / "Zero")}),
        ListItems(hList));
    Close(hDlg);

    // Shared by Alpha and Beta: Beta, removed first, kept it; Alpha did not.
    EXPECT_FALSE(m_tmp.Exists("Shared"));
    EXPECT_FALSE(m_tmp.Exists("Beta\\beta.exe"));
    EXPECT_TRUE(m_tmp.Exists("Beta\\Uninstall.exe")) << "not listed, so not removed";
    EXPECT_FALSE(m_tmp.Exists("Links\\Alpha.lnk"));
    EXPECT_FALSE(m_tmp.Exists("Links\\Beta.lnk"));
    EXPECT_TRUE(m_tmp.Exists("Links\\ToGamma.lnk"));
    EXPECT_TRUE(m_tmp.Exists("Links\\Notes.lnk"));
    EXPECT_TRUE(m_tmp.Exists("Gamma\\gamma.exe"));
    EXPECT_TRUE(m_tmp.Exists("Notes\\notes.txt"));
    EXPECT_FALSE(KeyExists(AppKey(1)));
    EXPECT_FALSE(KeyExists(AppKey(2)));
    EXPECT_TRUE(KeyExists(AppKey(0)));
    EXPECT_TRUE(KeyExists(AppKey(51)));
    EXPECT_EQ(m_tmp / "Gamma\\Uninstall.exe", UninstallString());

    // Everything left in Alpha's folder was listed, except the running
    // program, which the relaunched copy deletes; then the copy goes too.
    EXPECT_TRUE(WaitUntil([&] { return !m_tmp.Exists("Alpha"); }, c_nTimeoutMs))
        << "Alpha's folder still there";
    EXPECT_TRUE(WaitUntil([&] { return FolderIsEmpty(m_tmp / "temp dir"); }, c_nTimeoutMs))
        << "temporary copy still there";
}

INSTANTIATE_TEST_SUITE_P(Languages, RemoveTwoAppsTest, ::testing::Values(c_english, c_german),
                         [](const ::testing::TestParamInfo<CLanguage>& info)
                         { return info.param.pszCode[0] == 'D' ? "German" : "English"; });

// Alpha's "Directory" ends in a backslash, so its uninstaller path differs
// from the running program's as text; Beta spells the file it shares with
// Alpha with forward slashes, and its key has a subkey.
TEST_F(RemoveFlowTest, OtherSpellingsOfOneFileKeepItAndAKeyWithASubkeyStays)
{
    Install("[App1]\nAppName=Alpha\nDirectory=%T\\Alpha\\\nFile1=%T\\Alpha\\lib.dll\n"
            "[App2]\nAppName=Beta\nDirectory=%T\\Beta\nFile1=%T\\Beta\\beta.exe\n"
            "File2=%T/Alpha/lib.dll\n",
            "E");
    HKEY hSub;
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, (AppKey(2) + "\\Extra").c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &hSub, nullptr));
    ::RegCloseKey(hSub);

    HWND hDlg = Start("Alpha", c_english.pszCaption);
    ASSERT_NE(nullptr, hDlg);
    SelectItem(hDlg, IDC_APPS, 1);
    Remove(hDlg, IDYES);
    EXPECT_EQ(std::vector<std::string>{"Alpha\t" + (m_tmp / "Alpha\\")},
              ListItems(::GetDlgItem(hDlg, IDC_APPS)));
    Close(hDlg);

    EXPECT_TRUE(m_tmp.Exists("Alpha\\lib.dll"));
    EXPECT_FALSE(m_tmp.Exists("Beta\\beta.exe"));
    EXPECT_TRUE(KeyExists(AppKey(2))) << "a key with a subkey stays";
    // Beta still has its "Directory", so it counts as remaining, and is the
    // highest-numbered one.
    EXPECT_EQ(m_tmp / "Beta\\Uninstall.exe", UninstallString());
    ::Sleep(500);
    EXPECT_TRUE(m_tmp.Exists("Alpha\\Uninstall.exe")) << "the program removed itself";
    EXPECT_TRUE(FolderIsEmpty(m_tmp / "temp dir"));
}

TEST_F(RemoveFlowTest, RemovingTheLastAppDeletesTheFamilyKey)
{
    Install("[App1]\nAppName=Alpha\nDirectory=%T\\Alpha\nFile1=%T\\Alpha\\alpha.exe\n", "E");

    HWND hDlg = Start("Alpha", c_english.pszCaption);
    ASSERT_NE(nullptr, hDlg);
    SelectItem(hDlg, IDC_APPS, 0);
    Remove(hDlg, IDYES);
    Close(hDlg);

    EXPECT_FALSE(KeyExists(CFamilyKeyLock::Path()));
    EXPECT_TRUE(WaitUntil([&] { return !m_tmp.Exists("Alpha"); }, c_nTimeoutMs));
}

} // namespace
