// CCommApp's start-up, end, message pre-translation and recent-file list.
#include "CommAppTestSupport.h"
#include "ModuleState.h"
#include "RecentFileList.h"

#include <gtest/gtest.h>

namespace
{

std::string ModuleFolder()
{
    char szPath[MAX_PATH];
    DWORD nLength = ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string strPath(szPath, nLength);
    return strPath.substr(0, strPath.rfind('\\') + 1);
}

class CommAppTest : public ::testing::Test
{
protected:
    void TearDown() override { DeleteSharedSection(); }

    CTestCommApp m_app;
};

TEST_F(CommAppTest, InitInstanceNamesTheApplicationAndPointsHelpAtTheModule)
{
    ASSERT_TRUE(m_app.InitInstance());
    EXPECT_STREQ(m_app.m_pszAppName, "Vintora");
    EXPECT_EQ(AfxGetModuleState()->m_lpszCurrentAppName, m_app.m_pszAppName);
    EXPECT_EQ(std::string(m_app.m_pszHelpFilePath), ModuleFolder());
    EXPECT_EQ(std::string(m_app.GetModuleFolder()), ModuleFolder());
    EXPECT_EQ(m_app.GetRuntimeClass(), RUNTIME_CLASS(CCommApp));
    EXPECT_TRUE(m_app.IsKindOf(RUNTIME_CLASS(CWinApp)));
}

TEST_F(CommAppTest, LongHelpPathIsCutToTheBlock)
{
    m_app.m_strHelpFileName = CString('h', 400);
    ASSERT_TRUE(m_app.InitInstance());
    std::string strHelp = m_app.m_pszHelpFilePath;
    ASSERT_EQ(strHelp.size(), static_cast<size_t>(MAX_PATH));
    EXPECT_EQ(strHelp.substr(0, ModuleFolder().size()), ModuleFolder());
}

TEST_F(CommAppTest, ExitInstanceReleasesTheNamesAndLaunchesOnRequest)
{
    ASSERT_TRUE(m_app.InitInstance());
    std::string strMarker = ModuleFolder() + TestSection() + ".launched";
    ::DeleteFileA(strMarker.c_str());
    AfxReplaceString(&m_app.m_pszExeName, ("cmd.exe /c echo x> \"" + strMarker + "\"").c_str());
    m_app.m_bLaunchAtExit = TRUE;

    EXPECT_EQ(m_app.ExitInstance(), 0);
    EXPECT_EQ(m_app.m_pszHelpFilePath, nullptr);
    EXPECT_EQ(m_app.m_pszProfileName, nullptr);
    BOOL bLaunched = FALSE;
    for (int i = 0; i < 100 && !bLaunched; ++i, ::Sleep(50))
        bLaunched = ::GetFileAttributesA(strMarker.c_str()) != INVALID_FILE_ATTRIBUTES;
    EXPECT_TRUE(bLaunched);
    ::DeleteFileA(strMarker.c_str());
}

TEST_F(CommAppTest, DestroyIsNeverDispatched)
{
    MSG msg = {};
    msg.message = WM_DESTROY;
    EXPECT_TRUE(m_app.PreTranslateMessage(&msg));
    msg.message = WM_PAINT;
    EXPECT_FALSE(m_app.PreTranslateMessage(&msg));
}

TEST_F(CommAppTest, RecentFileReachesTheProfileAtOnce)
{
    m_app.LoadStdProfileSettings(2);
    auto readEntry = [&](LPCSTR pszEntry)
    {
        char szValue[MAX_PATH];
        ::GetPrivateProfileStringA("Recent File List", pszEntry, "", szValue, MAX_PATH,
                                   m_app.m_pszProfileName);
        return std::string(szValue);
    };
    m_app.AddToRecentFileList("C:\\a.txt");
    EXPECT_EQ(readEntry("File1"), "C:\\a.txt");
    m_app.AddToRecentFileList("C:\\b.txt");
    // Listed already (case aside): moves to the front, nothing falls off.
    m_app.AddToRecentFileList("c:\\A.TXT");
    EXPECT_EQ(readEntry("File1"), "c:\\A.TXT");
    EXPECT_EQ(readEntry("File2"), "C:\\b.txt");
    m_app.AddToRecentFileList("C:\\c.txt");
    EXPECT_EQ(readEntry("File1"), "C:\\c.txt");
    EXPECT_EQ(readEntry("File2"), "c:\\A.TXT");
    EXPECT_EQ(readEntry("File3"), "");
}

} // namespace
