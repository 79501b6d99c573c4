// The deleting routines against real folders in the prefix. Every tree
// keeps a file at its top ("sentinel") so no climb can leave the test's
// own folder.
#include "UninstallApp.h"
#include "UninstallTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

class DeletionTest : public ::testing::Test
{
protected:
    void SetUp() override { m_tmp.MakeFile("sentinel"); }
    void TearDown() override { EXPECT_TRUE(m_tmp.Exists("sentinel")); }

    void Delete(const std::string& strRelative)
    {
        m_app.DeletePathAndEmptyParents((m_tmp / strRelative).c_str());
    }

    CTempFolder m_tmp;
    CUninstallApp m_app;
};

TEST_F(DeletionTest, ClimbStopsAtTheFirstFolderWithAFileBelowItAndLeavesItsTreeAlone)
{
    m_tmp.MakeFile("A\\B\\C\\prog.exe");
    m_tmp.MakeFile("A\\x\\y\\file.txt");
    m_tmp.MakeFolder("A\\x\\z");

    Delete("A\\B\\C\\prog.exe");

    EXPECT_FALSE(m_tmp.Exists("A\\B"));
    EXPECT_TRUE(m_tmp.Exists("A\\x\\y\\file.txt"));
    EXPECT_TRUE(m_tmp.Exists("A\\x\\z"));
}

TEST_F(DeletionTest, ClimbRemovesAParentThatHoldsOnlyEmptyFolders)
{
    m_tmp.MakeFile("A\\B\\prog.exe");
    m_tmp.MakeFolder("A\\e1\\e2");
    m_tmp.MakeFolder("A\\e3");

    Delete("A\\B\\prog.exe");

    EXPECT_FALSE(m_tmp.Exists("A"));
}

TEST_F(DeletionTest, ForwardSlashesClimbToo)
{
    m_tmp.MakeFile("F\\G\\prog.exe");
    m_app.DeletePathAndEmptyParents((m_tmp.Path() + "/F/G/prog.exe").c_str());
    EXPECT_FALSE(m_tmp.Exists("F"));
}

TEST_F(DeletionTest, PatternDeletesEveryMatchAndKeepsTheRest)
{
    m_tmp.MakeFile("P\\a.txt");
    m_tmp.MakeFile("P\\b.txt");
    m_tmp.MakeFile("P\\c.log");

    Delete("P\\*.txt");

    EXPECT_FALSE(m_tmp.Exists("P\\a.txt"));
    EXPECT_FALSE(m_tmp.Exists("P\\b.txt"));
    EXPECT_TRUE(m_tmp.Exists("P\\c.log"));
}

TEST_F(DeletionTest, PatternThatEmptiesItsFolderRemovesIt)
{
    for (const char* pszPattern : {"Q\\*.txt", "Q\\*", "Q\\*.*"})
    {
        SCOPED_TRACE(pszPattern);
        m_tmp.MakeFile("Q\\a.txt");
        m_tmp.MakeFile("Q\\b.txt");
        Delete(pszPattern);
        EXPECT_FALSE(m_tmp.Exists("Q"));
    }
}

TEST_F(DeletionTest, PathThatNamesNothingVisitsNoParent)
{
    m_tmp.MakeFolder("N\\E");
    Delete("N\\E\\missing.exe");
    Delete("N\\E\\*.none");
    EXPECT_TRUE(m_tmp.Exists("N\\E"));
}

TEST_F(DeletionTest, FileThatCannotBeDeletedEndsTheClimb)
{
    m_tmp.MakeFile("R\\locked.txt");
    std::string strLocked = m_tmp / "R\\locked.txt";
    ::SetFileAttributesA(strLocked.c_str(), FILE_ATTRIBUTE_READONLY);
    m_tmp.MakeFolder("R\\S");

    Delete("R\\locked.txt");
    Delete("R\\S");

    EXPECT_TRUE(m_tmp.Exists("R\\locked.txt"));
    EXPECT_FALSE(m_tmp.Exists("R\\S"));
    EXPECT_TRUE(m_tmp.Exists("R"));
}

// A path without a drive or share is resolved against the current folder,
// which the removal itself moves as it climbs: such a path deletes nothing.
TEST_F(DeletionTest, PathThatIsNotFullDeletesNothing)
{
    ASSERT_TRUE(::SetCurrentDirectoryA(m_tmp.Path().c_str()));
    ASSERT_EQ(':', m_tmp.Path()[1]);
    std::string strRootRelative = m_tmp.Path().substr(2) + "\\Rel\\victim.txt";
    for (const std::string& strPath :
         {std::string("Rel\\victim.txt"), std::string("Rel/*.txt"),
          std::string(".\\Rel\\victim.txt"), m_tmp.Path().substr(0, 2) + "Rel\\victim.txt",
          strRootRelative})
    {
        SCOPED_TRACE(strPath);
        m_tmp.MakeFile("Rel\\victim.txt");
        WIN32_FIND_DATAA fd;
        HANDLE hFind = ::FindFirstFileA(strPath.c_str(), &fd);
        ASSERT_NE(INVALID_HANDLE_VALUE, hFind) << "the path names the file from here";
        ::FindClose(hFind);
        m_app.DeletePathAndEmptyParents(strPath.c_str());
        EXPECT_TRUE(m_tmp.Exists("Rel\\victim.txt"));
    }
}

TEST_F(DeletionTest, FolderTreeGoesOnlyWithoutAnyFileInIt)
{
    m_tmp.MakeFolder("T\\a\\b\\c");
    m_tmp.MakeFolder("T\\d");
    EXPECT_TRUE(m_app.RemoveEmptyFolderTree((m_tmp / "T").c_str()));
    EXPECT_FALSE(m_tmp.Exists("T"));

    // The file's branch is listed after empty ones: nothing may go first.
    m_tmp.MakeFolder("U\\a\\empty");
    m_tmp.MakeFolder("U\\b");
    m_tmp.MakeFile("U\\z\\deep\\file.txt");
    EXPECT_FALSE(m_app.RemoveEmptyFolderTree((m_tmp / "U").c_str()));
    EXPECT_TRUE(m_tmp.Exists("U\\a\\empty"));
    EXPECT_TRUE(m_tmp.Exists("U\\b"));

    EXPECT_FALSE(m_app.RemoveEmptyFolderTree(""));
    EXPECT_FALSE(m_app.RemoveEmptyFolderTree((m_tmp / "missing").c_str()));
}

TEST(ClimbParentTest, StopsAtDriveAndShareRoots)
{
    const struct
    {
        const char* pszPath;
        const char* pszParent; // null: the climb ends
    } cases[] = {
        {"C:\\a\\b", "C:\\a"},
        {"C:\\a/b", "C:\\a"},
        {"C:/a/b", "C:/a"},
        {"C:\\a", nullptr},
        {"C:/a", nullptr},
        {"\\\\srv\\share\\x\\y", "\\\\srv\\share\\x"},
        {"\\\\srv\\share\\x", nullptr},
        {"//srv/share/x", nullptr},
        {"\\top", nullptr},
        {"plain", nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszPath);
        CString strParent = "unchanged";
        BOOL bClimb = CUninstallApp::GetClimbParent(c.pszPath, strParent);
        if (c.pszParent == nullptr)
        {
            EXPECT_FALSE(bClimb);
            EXPECT_EQ(CString("unchanged"), strParent);
        }
        else
        {
            EXPECT_TRUE(bClimb);
            EXPECT_EQ(CString(c.pszParent), strParent);
        }
    }
}

TEST(RelaunchArgumentsTest, AcceptsOnlyDollarHandleAndOneProgramFile)
{
    const struct
    {
        std::vector<const char*> args;
        bool bValid;
    } cases[] = {
        {{"copy.tmp", "$", "1234", "C:\\a b\\Uninstall.exe"}, true},
        {{"copy.tmp", "$", "2147483647", "C:\\U.exe"}, true},
        {{"copy.tmp", "$"}, false},
        {{"copy.tmp", "$", "12"}, false},
        {{"copy.tmp", "$", "12", "C:\\a", "b\\Uninstall.exe"}, false},
        {{"copy.tmp", "$x", "12", "C:\\U.exe"}, false},
        {{"copy.tmp", "$", "", "C:\\U.exe"}, false},
        {{"copy.tmp", "$", "abc", "C:\\U.exe"}, false},
        {{"copy.tmp", "$", "12abc", "C:\\U.exe"}, false},
        {{"copy.tmp", "$", "-5", "C:\\U.exe"}, false},
        {{"copy.tmp", "$", "0", "C:\\U.exe"}, false},
        {{"copy.tmp", "$", "2147483648", "C:\\U.exe"}, false},
        {{"copy.tmp", "$", "99999999999999999999999", "C:\\U.exe"}, false},
        {{"copy.tmp", "$", "12", ""}, false},
        {{"copy.tmp", "$", "12", "C:\\*"}, false},
        {{"copy.tmp", "$", "12", "C:\\U?.exe"}, false},
    };
    for (const auto& c : cases)
    {
        std::vector<char*> argv;
        std::string strTrace;
        for (const char* psz : c.args)
        {
            argv.push_back(const_cast<char*>(psz));
            strTrace += std::string(psz) + " ";
        }
        SCOPED_TRACE(strTrace);
        HANDLE hProcess = nullptr;
        CString strProgram;
        EXPECT_EQ(c.bValid, !!CUninstallApp::ParseRelaunchArguments(
                                static_cast<int>(argv.size()), argv.data(), hProcess, strProgram));
        if (c.bValid)
        {
            EXPECT_EQ(CString(c.args[3]), strProgram);
            EXPECT_EQ(std::strtoull(c.args[2], nullptr, 10), reinterpret_cast<UINT_PTR>(hProcess));
        }
    }
}

} // namespace
