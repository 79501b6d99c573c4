// The whole flow through Uninstall.exe (the 64-bit build beside this test):
// applications recorded by the installer stand-in, the dialog driven from
// here as a user would, then every file, shortcut and value checked.
#include "UninstallTestSupport.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <fstream>

namespace
{

const DWORD c_nTimeoutMs = 20000;

struct CLanguage
{
    const char* pszCode;
    const char* pszCaption;
    const char* pszConfirm;
    const char* pszDone;
};

const CLanguage c_english = {"E", "Vintora Uninstall",
                             "Are you sure that you want to remove the selected applications?",
                             "The programs have been successfully removed from your computer."};
const CLanguage c_german = {
    "D", "Vintora Entfernen",
    "Sind Sie sicher, dass Sie die gew\xE4hlten Programme von Ihrem Computer entfernen m\xF6"
    "chten?",
    "Die Programme wurden erfoglreich von Ihrem Computer entfernt."};

// Names the parameter in test output by its "Language" value.
void PrintTo(const CLanguage& lang, std::ostream* pOut)
{
    *pOut << lang.pszCode;
}

class RemoveFlowTest : public ::testing::Test
{
protected:
    // Writes the description (each "%T" standing for the test's folder) and
    // records it with the stand-in, which also puts Uninstall.exe into every
    // application's folder.
    void Install(const std::string& strDescription, const char* pszLanguage)
    {
        std::string strText;
        for (size_t i = 0; i < strDescription.size(); ++i)
        {
            if (strDescription.compare(i, 2, "%T") == 0)
            {
                strText += m_tmp.Path();
                ++i;
            }
            else
                strText += strDescription[i];
        }
        std::ofstream(m_tmp / "apps.ini") << strText;
        HANDLE hRun = StartProgram(ProgramBesideTest("InstallerStandIn.exe"),
                                   std::string("--language ") + pszLanguage + " --uninstaller \"" +
                                       ProgramBesideTest() + "\" \"" + (m_tmp / "apps.ini") + "\"");
        ASSERT_NE(nullptr, hRun);
        ASSERT_TRUE(Ended(hRun, c_nTimeoutMs));
        DWORD dwExit = 1;
        ::GetExitCodeProcess(hRun, &dwExit);
        ::CloseHandle(hRun);
        ASSERT_EQ(0u, dwExit);
    }

    // Starts the copy of Uninstall.exe in that folder and waits for its
    // dialog; its temporary copy goes to "temp dir".
    HWND Start(const std::string& strFolder, const char* pszCaption)
    {
        m_tmp.MakeFolder("temp dir");
        m_strEnv = EnvironmentWithTemp(m_tmp / "temp dir");
        m_hRun = StartProgram(m_tmp / (strFolder + "\\Uninstall.exe"), "", &m_strEnv);
        EXPECT_NE(nullptr, m_hRun);
        return WaitForDialog(pszCaption, ::GetProcessId(m_hRun), c_nTimeoutMs);
    }

    // Presses Remove and answers the confirmation with nAnswer; after Yes,
    // also acknowledges the completion message. Returns the texts shown.
    std::vector<std::string> Remove(HWND hDlg, int nAnswer)
    {
        std::vector<std::string> texts;
        ::PostMessageA(::GetDlgItem(hDlg, IDC_REMOVE), BM_CLICK, 0, 0);
        for (int nButton : {nAnswer, nAnswer == IDYES ? IDOK : 0})
        {
            if (nButton == 0)
                break;
            HWND hBox = WaitForDialog("Vintora", ::GetProcessId(m_hRun), c_nTimeoutMs);
            if (hBox == nullptr)
            {
                ADD_FAILURE() << "no message box";
                break;
            }
            texts.push_back(WindowText(::GetDlgItem(hBox, 0xFFFF)));
            ::PostMessageA(::GetDlgItem(hBox, nButton), BM_CLICK, 0, 0);
            EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(hBox); }, c_nTimeoutMs));
        }
        return texts;
    }

    void Close(HWND hDlg)
    {
        ::PostMessageA(::GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
        EXPECT_TRUE(Ended(m_hRun, c_nTimeoutMs));
        ::CloseHandle(m_hRun);
    }

    static std::string AppKey(int nApp)
    {
        return std::string(CFamilyKeyLock::Path()) + "\\App" + std::to_string(nApp);
    }

    static std::string UninstallString()
    {
        std::string strValue = "(none)";
        ReadValue(CFamilyKeyLock::Path(), "UninstallString", strValue);
        return strValue;
    }

    CFamilyKeyLock m_family;
    CTempFolder m_tmp;
    std::string m_strEnv;
    HANDLE m_hRun = nullptr;
};

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
