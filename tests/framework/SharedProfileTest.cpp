// The family-wide shared store and the platform's profile operations under
// it: registry paths, the one-time migration and the borrowed members.
#include "CommAppTestSupport.h"

#include <gtest/gtest.h>

namespace
{

class SharedProfileTest : public ::testing::Test
{
protected:
    void SetUp() override { DeleteSharedSection(); }
    void TearDown() override { DeleteSharedSection(); }

    // The operations borrow the members; each must give them back.
    void ExpectMembersRestored()
    {
        EXPECT_EQ(m_app.m_pszRegistryKey, nullptr);
        EXPECT_EQ(m_app.m_pszProfileName, m_pszProfileName);
    }

    void WriteOwn(LPCSTR pszEntry, LPCSTR pszValue)
    {
        ASSERT_TRUE(::WritePrivateProfileStringA(m_strSection.c_str(), pszEntry, pszValue,
                                                 m_app.m_pszProfileName));
    }
    std::string ReadOwn(LPCSTR pszEntry)
    {
        char szValue[64];
        ::GetPrivateProfileStringA(m_strSection.c_str(), pszEntry, "<none>", szValue,
                                   sizeof(szValue), m_app.m_pszProfileName);
        return szValue;
    }
    // The shared value as the registry holds it: type and 4 bytes.
    BOOL ReadShared(LPCSTR pszEntry, DWORD& dwValue)
    {
        DWORD dwType = 0;
        DWORD nSize = sizeof(dwValue);
        return ::RegGetValueA(HKEY_CURRENT_USER, SharedSectionKey().c_str(), pszEntry, RRF_RT_ANY,
                              &dwType, &dwValue, &nSize) == ERROR_SUCCESS &&
               dwType == REG_DWORD && nSize == 4;
    }

    CTestCommApp m_app;
    LPCSTR m_pszProfileName = m_app.m_pszProfileName;
    std::string m_strSection = TestSection();
};

TEST_F(SharedProfileTest, NothingStoredGivesDefaultAndCreatesTheKeys)
{
    EXPECT_EQ(m_app.GetSharedProfileInt(m_strSection.c_str(), "Missing", 42), 42u);
    ExpectMembersRestored();
    HKEY hKey = nullptr;
    EXPECT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, SharedSectionKey().c_str(), 0, KEY_READ, &hKey),
              ERROR_SUCCESS);
    ::RegCloseKey(hKey);
    EXPECT_EQ(ReadOwn("Missing"), "<none>");
}

TEST_F(SharedProfileTest, OwnValueMovesToTheSharedStoreOnce)
{
    struct Case
    {
        LPCSTR pszOwn;
        UINT nExpected;
    };
    // "0" is a value, not an absence; text that is no number moves as 0.
    const Case cases[] = {{"0", 0}, {"17", 17}, {"-3", static_cast<UINT>(-3)}, {"abc", 0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszOwn);
        WriteOwn("Moved", c.pszOwn);
        EXPECT_EQ(m_app.GetSharedProfileInt(m_strSection.c_str(), "Moved", 99), c.nExpected);
        ExpectMembersRestored();
        EXPECT_EQ(ReadOwn("Moved"), "") << "the marker reads as empty";
        DWORD dwShared = 0;
        ASSERT_TRUE(ReadShared("Moved", dwShared));
        EXPECT_EQ(dwShared, c.nExpected);

        // From now on the shared store answers.
        ASSERT_TRUE(m_app.WriteSharedProfileInt(m_strSection.c_str(), "Moved", 5));
        EXPECT_EQ(m_app.GetSharedProfileInt(m_strSection.c_str(), "Moved", 99), 5u);
    }
}

TEST_F(SharedProfileTest, MarkerOrSpacesCountAsAbsent)
{
    ASSERT_TRUE(m_app.WriteSharedProfileInt(m_strSection.c_str(), "Blank", 8));
    ExpectMembersRestored();
    for (LPCSTR pszOwn : {" ", "    "})
    {
        WriteOwn("Blank", pszOwn);
        EXPECT_EQ(m_app.GetSharedProfileInt(m_strSection.c_str(), "Blank", 1), 8u);
    }
}

TEST_F(SharedProfileTest, ApplicationsWithTheirOwnProfilesShareOneValue)
{
    ASSERT_TRUE(m_app.WriteSharedProfileInt(m_strSection.c_str(), "Common", 1234));
    DWORD dwShared = 0;
    ASSERT_TRUE(ReadShared("Common", dwShared));
    EXPECT_EQ(dwShared, 1234u);

    AfxReplaceString(&m_app.m_pszProfileName, (m_strSection + "Other.INI").c_str());
    m_pszProfileName = m_app.m_pszProfileName;
    EXPECT_EQ(m_app.GetSharedProfileInt(m_strSection.c_str(), "Common", 0), 1234u);
    ExpectMembersRestored();
}

TEST_F(SharedProfileTest, RegistryProfileKeepsTypedValues)
{
    // The platform's own registry profile, as the shared store uses it.
    m_app.m_pszRegistryKey = "Vintora";
    AfxReplaceString(&m_app.m_pszProfileName, "Options");
    EXPECT_TRUE(m_app.WriteProfileInt(m_strSection.c_str(), "Number", -2));
    EXPECT_EQ(static_cast<int>(m_app.GetProfileInt(m_strSection.c_str(), "Number", 0)), -2);
    EXPECT_TRUE(m_app.WriteProfileString(m_strSection.c_str(), "Text", "hello"));
    EXPECT_EQ(std::string(m_app.GetProfileString(m_strSection.c_str(), "Text")), "hello");
    // A value of the wrong type is no value.
    EXPECT_EQ(m_app.GetProfileInt(m_strSection.c_str(), "Text", 7), 7u);
    EXPECT_EQ(std::string(m_app.GetProfileString(m_strSection.c_str(), "Number", "dflt")), "dflt");
    EXPECT_TRUE(m_app.WriteProfileString(m_strSection.c_str(), "Text", nullptr));
    EXPECT_EQ(std::string(m_app.GetProfileString(m_strSection.c_str(), "Text", "gone")), "gone");
    m_app.m_pszRegistryKey = nullptr;
}

TEST_F(SharedProfileTest, FileProfileKeepsDecimalText)
{
    EXPECT_TRUE(m_app.WriteProfileInt(m_strSection.c_str(), "Number", -12));
    EXPECT_EQ(ReadOwn("Number"), "-12");
    EXPECT_EQ(static_cast<int>(m_app.GetProfileInt(m_strSection.c_str(), "Number", 0)), -12);
    EXPECT_EQ(m_app.GetProfileInt(m_strSection.c_str(), "Missing", 3), 3u);
    // Longer than the first read buffer.
    std::string strLong(700, 'x');
    EXPECT_TRUE(m_app.WriteProfileString(m_strSection.c_str(), "Long", strLong.c_str()));
    EXPECT_EQ(std::string(m_app.GetProfileString(m_strSection.c_str(), "Long")), strLong);
}

} // namespace
