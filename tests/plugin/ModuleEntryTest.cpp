// The platform's DLL entry point, seen through ModuleProbe.dll: names from
// the DLL's file, InitInstance at load, ExitInstance at unload, and a load
// that fails when InitInstance does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace
{

std::string ProbeLog()
{
    char szLog[256] = "";
    ::GetEnvironmentVariableA("CHIMORA_PROBE_LOG", szLog, sizeof(szLog));
    return szLog;
}

std::string ExeFolder()
{
    char szPath[MAX_PATH];
    DWORD nLength = ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string strPath(szPath, nLength);
    return strPath.substr(0, strPath.rfind('\\') + 1);
}

class ModuleEntryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::SetEnvironmentVariableA("CHIMORA_PROBE_LOG", nullptr);
        ::SetEnvironmentVariableA("CHIMORA_PROBE_FAIL", nullptr);
    }
    void TearDown() override { SetUp(); }
};

TEST_F(ModuleEntryTest, LoadInitialisesTheModuleAndUnloadEndsIt)
{
    HMODULE hProbe = ::LoadLibraryA("ModuleProbe.dll");
    ASSERT_NE(hProbe, nullptr);
    EXPECT_EQ(ProbeLog(), "construct init ");

    typedef LPCSTR (*PFN_PROBE_NAME)(int);
    auto pfnName = reinterpret_cast<PFN_PROBE_NAME>(
        reinterpret_cast<void (*)()>(::GetProcAddress(hProbe, "ProbeName")));
    ASSERT_NE(pfnName, nullptr);
    EXPECT_STREQ(pfnName(0), "Vintora");
    EXPECT_EQ(std::string(pfnName(1)), ExeFolder());
    EXPECT_STREQ(pfnName(2), "ModuleProbe.INI");
    EXPECT_STREQ(pfnName(3), "ModuleProbe");

    ::FreeLibrary(hProbe);
    EXPECT_EQ(ProbeLog(), "construct init exit destroy ");
}

TEST_F(ModuleEntryTest, FailedInitInstanceFailsTheLoadAndEndsOnce)
{
    ::SetEnvironmentVariableA("CHIMORA_PROBE_FAIL", "1");
    EXPECT_EQ(::LoadLibraryA("ModuleProbe.dll"), nullptr);
    EXPECT_EQ(ProbeLog(), "construct init exit destroy ");
}

} // namespace
