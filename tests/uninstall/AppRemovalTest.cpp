// CAppRemoval against a family key of the test's own and real files: which
// files and shortcuts go, as text and as the same file in another spelling.
#include "AppRemoval.h"
#include "ComRef.h"
#include "UninstallApp.h"
#include "UninstallTestSupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace
{

void MakeShortcut(const std::string& strLink, const std::string& strTarget)
{
    CComInit com;
    CComRef<IShellLinkA> link;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IShellLinkA, link.Out())));
    CComRef<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(link->SetPath(strTarget.c_str())));
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.Out())));
    WCHAR szWide[MAX_PATH];
    ::MultiByteToWideChar(CP_ACP, 0, strLink.c_str(), -1, szWide, MAX_PATH);
    ASSERT_TRUE(SUCCEEDED(file->Save(szWide, TRUE)));
}

class AppRemovalTest : public ::testing::Test
{
protected:
    void SetUp() override { m_tmp.MakeFile("sentinel"); }

    // Records values "<prefix> 1", "<prefix> 2", ... of App<nApp>.
    void Record(int nApp, const char* pszPrefix, const std::vector<std::string>& values)
    {
        for (size_t n = 0; n < values.size(); ++n)
            m_key.Set("App" + std::to_string(nApp),
                      (std::string(pszPrefix) + " " + std::to_string(n + 1)).c_str(), values[n]);
    }

    void RemoveApp(int nApp)
    {
        CAppRemoval removal(m_app, m_key.Path().c_str(), nApp);
        removal.DeleteAppShortcuts();
        removal.DeleteAppFiles();
    }

    std::string ShortPath(const std::string& strRelative)
    {
        char szShort[MAX_PATH];
        DWORD nShort = ::GetShortPathNameA((m_tmp / strRelative).c_str(), szShort, MAX_PATH);
        EXPECT_TRUE(nShort > 0 && nShort < MAX_PATH);
        return szShort;
    }

    CTempFolder m_tmp;
    CTestKey m_key;
    CUninstallApp m_app;
};

// App 2 is removed; it lists "Own\\Shared Library.dll" and the pattern
// "Own\\Data\\*.dat". Another application lists what the case says.
TEST_F(AppRemovalTest, FileStaysExactlyWhileAnotherAppOneToFiftyListsItAsTextOrAsTheSameFile)
{
    enum Spelling
    {
        Same,         // the same text in other letter case
        ForwardSlash, // the same file with '/' separators
        ShortName,    // the same file through its 8.3 name
        DotPart,      // the same file through "\\.\\" and a doubled separator
        OtherFile,    // a different file
        SamePattern,  // the pattern's own text
        MatchingFile, // a plain file that the pattern matches
    };
    const struct
    {
        const char* pszName;
        int nOtherApp;
        Spelling spelling;
        bool bDllStays;
        bool bDatStays;
    } cases[] = {
        {"same text, App1", 1, Same, true, false},
        {"same text, App50", 50, Same, true, false},
        {"same text, App0 is not looked at", 0, Same, false, false},
        {"same text, App51 is not looked at", 51, Same, false, false},
        {"forward slashes", 3, ForwardSlash, true, false},
        {"short name", 3, ShortName, true, false},
        {"dot part and doubled separator", 3, DotPart, true, false},
        {"another file", 3, OtherFile, false, false},
        {"the same pattern text", 3, SamePattern, false, true},
        {"a file the pattern matches keeps no pattern", 3, MatchingFile, false, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        m_tmp.MakeFile("Own\\Shared Library.dll");
        m_tmp.MakeFile("Own\\Data\\a.dat");
        m_tmp.MakeFile("Other\\other.dll");
        std::string strDll = m_tmp / "Own\\Shared Library.dll";
        std::string strPattern = m_tmp / "Own\\Data\\*.dat";
        std::string strOther;
        switch (c.spelling)
        {
        case Same:
            strOther = strDll;
            for (char& ch : strOther)
                ch = static_cast<char>(::toupper(static_cast<unsigned char>(ch)));
            break;
        case ForwardSlash:
            strOther = strDll;
            for (char& ch : strOther)
                ch = ch == '\\' ? '/' : ch;
            break;
        case ShortName:
            strOther = ShortPath("Own\\Shared Library.dll");
            EXPECT_NE(strDll, strOther);
            break;
        case DotPart:
            strOther = m_tmp.Path() + "\\.\\Own\\\\Shared Library.dll";
            break;
        case OtherFile:
            strOther = m_tmp / "Other\\other.dll";
            break;
        case SamePattern:
            strOther = strPattern;
            break;
        case MatchingFile:
            strOther = m_tmp / "Own\\Data\\a.dat";
            break;
        }
        m_key.Set("App" + std::to_string(c.nOtherApp), "File 1", strOther);
        Record(2, "File", {strDll, strPattern});

        RemoveApp(2);

        EXPECT_EQ(c.bDllStays, !!m_tmp.Exists("Own\\Shared Library.dll"));
        EXPECT_EQ(c.bDatStays, !!m_tmp.Exists("Own\\Data\\a.dat"));
        EXPECT_TRUE(m_tmp.Exists("Other\\other.dll"));
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_key.Path().c_str());
    }
}

TEST_F(AppRemovalTest, FileListedTwiceGoesOnceAndItsEmptiedFoldersWithIt)
{
    m_tmp.MakeFile("App\\Bin\\tool.exe");
    Record(4, "File", {m_tmp / "App\\Bin\\tool.exe", m_tmp / "APP\\BIN\\TOOL.EXE"});

    RemoveApp(4);

    EXPECT_FALSE(m_tmp.Exists("App"));
}

TEST_F(AppRemovalTest, OnlyShortcutsToTheAppsOwnFilesGo)
{
    m_tmp.MakeFile("Own\\own.exe");
    m_tmp.MakeFile("Other\\other.exe");
    m_tmp.MakeFile("Loose\\unlisted.txt");
    m_tmp.MakeFile("Links\\broken.lnk");
    MakeShortcut(m_tmp / "Links\\own.lnk", m_tmp / "OWN\\Own.exe");
    MakeShortcut(m_tmp / "Links\\other.lnk", m_tmp / "Other\\other.exe");
    MakeShortcut(m_tmp / "Links\\unlisted.lnk", m_tmp / "Loose\\unlisted.txt");
    Record(1, "File", {m_tmp / "Other\\other.exe"});
    // The empty value must not match the empty target of a broken shortcut.
    Record(2, "File", {m_tmp / "Own\\own.exe", ""});
    Record(2, "Link",
           {m_tmp / "Links\\own.lnk", m_tmp / "Links\\other.lnk", m_tmp / "Links\\unlisted.lnk",
            m_tmp / "Links\\broken.lnk"});

    RemoveApp(2);

    EXPECT_FALSE(m_tmp.Exists("Links\\own.lnk"));
    EXPECT_FALSE(m_tmp.Exists("Own"));
    EXPECT_TRUE(m_tmp.Exists("Links\\other.lnk"));
    EXPECT_TRUE(m_tmp.Exists("Links\\unlisted.lnk"));
    EXPECT_TRUE(m_tmp.Exists("Links\\broken.lnk"));
    EXPECT_TRUE(m_tmp.Exists("Other\\other.exe"));
    EXPECT_TRUE(m_tmp.Exists("Loose\\unlisted.txt"));
}

// The numbered values are read from one open key; the first gap ends them.
TEST_F(AppRemovalTest, ValueListEndsAtTheFirstNumberThatCannotBeRead)
{
    Record(3, "File", {"C:\\a.txt", std::string(300, 'x'), ""});
    m_key.Set("App3", "File 5", "C:\\after-the-gap.txt");
    std::vector<CString> values = {"stale"};

    ReadAppValueList((m_key.Path() + "\\App3").c_str(), "File %i", values);

    EXPECT_EQ((std::vector<CString>{"C:\\a.txt", CString(std::string(259, 'x').c_str()), ""}),
              values);
    ReadAppValueList((m_key.Path() + "\\App9").c_str(), "File %i", values);
    EXPECT_TRUE(values.empty());
}

TEST(PathSetTest, FindsWhatMbsicmpFindsEqualAndNothingElse)
{
    CPathSet set;
    set.Add("C:\\Program Files\\Vintora\\App.exe");
    set.Add("C:\\Daten\\\xC4rger.txt");
    EXPECT_TRUE(set.Contains("c:\\PROGRAM FILES\\vintora\\app.EXE"));
    EXPECT_TRUE(set.Contains("C:\\DATEN\\\xC4RGER.TXT"));
    EXPECT_FALSE(set.Contains("C:/Program Files/Vintora/App.exe"));
    EXPECT_FALSE(set.Contains("C:\\Program Files\\Vintora\\App.exe "));
    EXPECT_FALSE(set.Contains(""));
}

} // namespace
