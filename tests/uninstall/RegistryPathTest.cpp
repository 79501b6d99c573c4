// The registry helpers against the real (Wine) registry, below a key of the
// test's own that serves as the root.
#include "RegistryPath.h"
#include "UninstallTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{

class RegistryPathTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, m_key.Path().c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, &m_hRoot, nullptr));
    }
    void TearDown() override { ::RegCloseKey(m_hRoot); }

    // Whether the key exists, opened with the raw API, which splits at
    // backslashes only.
    bool KeyExists(const char* pszRawPath) const
    {
        HKEY hKey;
        if (::RegOpenKeyExA(m_hRoot, pszRawPath, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(hKey);
        return true;
    }
    void SetRaw(const char* pszRawPath, const char* pszName, DWORD dwType, const void* pData,
                DWORD cbData) const
    {
        HKEY hKey;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(m_hRoot, pszRawPath, 0, nullptr, 0,
                                                   KEY_ALL_ACCESS, nullptr, &hKey, nullptr));
        ::RegSetValueExA(hKey, pszName, 0, dwType, static_cast<const BYTE*>(pData), cbData);
        ::RegCloseKey(hKey);
    }
    std::string Read(const char* pszPath, const char* pszName, LONG* pnResult = nullptr) const
    {
        char szBuffer[MAX_PATH] = "untouched";
        DWORD nSize = MAX_PATH;
        LONG nResult = ReadRegString(m_hRoot, pszPath, pszName, szBuffer, nSize);
        if (pnResult)
            *pnResult = nResult;
        return szBuffer;
    }

    CTestKey m_key;
    HKEY m_hRoot = nullptr;
};

struct PathCase
{
    const char* pszPath; // as handed to the helpers
    const char* pszRaw;  // the key it must name, backslashes only
};

TEST_F(RegistryPathTest, WriteCreatesAndReadFindsTheKeyEachPathFormNames)
{
    const PathCase cases[] = {
        {"Plain", "Plain"},
        {"one\\two\\three", "one\\two\\three"},
        {"fwd/only/here", "fwd\\only\\here"},
        // Before the last backslash a forward slash belongs to the name.
        {"a/b\\c/d", "a/b\\c\\d"},
        {"end\\slash\\", "end\\slash"},
    };
    for (const PathCase& c : cases)
    {
        SCOPED_TRACE(c.pszPath);
        EXPECT_EQ(0, WriteRegString(m_hRoot, c.pszPath, "V", c.pszRaw));
        EXPECT_TRUE(KeyExists(c.pszRaw));
        LONG nResult;
        EXPECT_EQ(c.pszRaw, Read(c.pszPath, "V", &nResult));
        EXPECT_EQ(0, nResult);

        HKEY hKey = OpenKeyPath(m_hRoot, c.pszPath, FALSE, KEY_READ);
        ASSERT_NE(nullptr, hKey);
        ::RegCloseKey(hKey);
    }
    EXPECT_FALSE(KeyExists("a"));
}

TEST_F(RegistryPathTest, MissingKeyOrValueFailsAndLeavesBufferAndSize)
{
    SetRaw("k", "present", REG_SZ, "x", 2);
    const char* paths[][2] = {{"nokey\\deeper", "V"}, {"k", "absent"}};
    for (auto& p : paths)
    {
        char szBuffer[8] = "keep";
        DWORD nSize = sizeof(szBuffer);
        EXPECT_EQ(ERROR_INVALID_HANDLE, ReadRegString(m_hRoot, p[0], p[1], szBuffer, nSize));
        EXPECT_STREQ("keep", szBuffer);
        EXPECT_EQ(sizeof(szBuffer), nSize);
    }
    // Reading never creates.
    EXPECT_FALSE(KeyExists("nokey"));
    EXPECT_EQ(nullptr, OpenKeyPath(m_hRoot, "nokey\\deeper", FALSE, KEY_READ));
}

TEST_F(RegistryPathTest, LongValueIsCutToCapacityWithoutFailing)
{
    std::string strLong(300, 'x');
    SetRaw("k", "long", REG_SZ, strLong.c_str(), 301);
    char szBuffer[MAX_PATH + 1];
    std::memset(szBuffer, '#', sizeof(szBuffer));
    DWORD nSize = MAX_PATH;
    EXPECT_EQ(0, ReadRegString(m_hRoot, "k", "long", szBuffer, nSize));
    EXPECT_EQ(259u, nSize);
    EXPECT_EQ(std::string(259, 'x'), std::string(szBuffer));
    EXPECT_EQ('#', szBuffer[MAX_PATH]);
}

TEST_F(RegistryPathTest, ValueBytesAreTextUpToTheirFirstNulWhateverTheirType)
{
    SetRaw("k", "empty", REG_SZ, "", 1);
    SetRaw("k", "nodata", REG_SZ, "", 0);
    SetRaw("k", "unterminated", REG_BINARY, "abc", 3);
    SetRaw("k", "inner", REG_SZ, "ab\0cd", 6);
    EXPECT_EQ("", Read("k", "empty"));
    EXPECT_EQ("", Read("k", "nodata"));
    EXPECT_EQ("abc", Read("k", "unterminated"));
    EXPECT_EQ("ab", Read("k", "inner"));
}

TEST_F(RegistryPathTest, ZeroCapacityIsAFailure)
{
    SetRaw("k", "v", REG_SZ, "x", 2);
    char ch = '!';
    DWORD nSize = 0;
    EXPECT_EQ(ERROR_INVALID_HANDLE, ReadRegString(m_hRoot, "k", "v", &ch, nSize));
    EXPECT_EQ('!', ch);
}

TEST_F(RegistryPathTest, WriteStoresRegSzWithItsNul)
{
    EXPECT_EQ(0, WriteRegString(m_hRoot, "new\\keys", "one", "x"));
    DWORD dwType = 0;
    BYTE data[4] = {};
    DWORD cbData = sizeof(data);
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegGetValueA(m_hRoot, "new\\keys", "one", RRF_RT_ANY, &dwType, data, &cbData));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), dwType);
    EXPECT_EQ(2u, cbData);
    EXPECT_EQ('x', data[0]);
    EXPECT_EQ(0, data[1]);
}

TEST_F(RegistryPathTest, DeleteRemovesOnlyALeafKey)
{
    SetRaw("p\\leaf", "v", REG_SZ, "x", 2);
    SetRaw("p\\busy\\child", "v", REG_SZ, "x", 2);

    EXPECT_EQ(0, DeleteKeyPath(m_hRoot, "p\\leaf"));
    EXPECT_FALSE(KeyExists("p\\leaf"));

    EXPECT_NE(0, DeleteKeyPath(m_hRoot, "p\\busy"));
    EXPECT_TRUE(KeyExists("p\\busy\\child"));

    SetRaw("plain", "v", REG_SZ, "x", 2);
    EXPECT_EQ(0, DeleteKeyPath(m_hRoot, "plain"));
    EXPECT_FALSE(KeyExists("plain"));

    SetRaw("f\\g", "v", REG_SZ, "x", 2);
    EXPECT_EQ(0, DeleteKeyPath(m_hRoot, "f/g"));
    EXPECT_FALSE(KeyExists("f\\g"));
    EXPECT_TRUE(KeyExists("f"));
}

TEST_F(RegistryPathTest, DeleteBelowMissingParentsCreatesThemAndReportsNotFound)
{
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, DeleteKeyPath(m_hRoot, "gone\\too\\target"));
    EXPECT_TRUE(KeyExists("gone\\too"));
    EXPECT_FALSE(KeyExists("gone\\too\\target"));
}

TEST_F(RegistryPathTest, DeleteRefusesAnEmptyKeyName)
{
    SetRaw("kept", "v", REG_SZ, "x", 2);
    EXPECT_EQ(ERROR_INVALID_HANDLE, DeleteKeyPath(m_hRoot, "kept\\"));
    EXPECT_EQ(ERROR_INVALID_HANDLE, DeleteKeyPath(m_hRoot, ""));
    EXPECT_TRUE(KeyExists("kept"));
}

} // namespace
