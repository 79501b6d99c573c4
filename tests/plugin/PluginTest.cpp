// The plug-in as the host sees it: exports, host query, switch, resources.
// Each test loads its own copy of the DLL under a name of its own, so it has
// its own profile file (named after the module) and fresh caches, and test
// processes running side by side never share a switch.
#include "Chimora.h"
#include "Corvane.h"
#include "MapPtrToPtrEx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace
{

std::string ExeFolder()
{
    char szPath[MAX_PATH];
    DWORD nLength = ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string strPath(szPath, nLength);
    return strPath.substr(0, strPath.rfind('\\') + 1);
}

std::string WindowsFolder()
{
    char szFolder[MAX_PATH];
    ::GetWindowsDirectoryA(szFolder, MAX_PATH);
    return std::string(szFolder) + "\\";
}

class CPluginCopy
{
public:
    explicit CPluginCopy(const char* pszTag)
    {
        std::string strTitle = "ChimoraTest" + std::to_string(::GetCurrentProcessId()) + pszTag;
        m_strPath = ExeFolder() + strTitle + ".dll";
        m_strIni = WindowsFolder() + strTitle + ".INI";
        ::DeleteFileA(m_strIni.c_str());
        ::CopyFileA((ExeFolder() + CHIMORA_DLL_NAME).c_str(), m_strPath.c_str(), FALSE);
        m_hModule = ::LoadLibraryA(m_strPath.c_str());
        if (m_hModule == nullptr)
            return;
        IsSupported = ChimoraGetProc<PFN_CHIMORA_IS_SUPPORTED>(
            m_hModule, CHIMORA_EXPORT_NAME(ChimoraIsSupported, 0));
        Setup = ChimoraGetProc<PFN_CHIMORA_SETUP>(m_hModule, CHIMORA_EXPORT_NAME(ChimoraSetup, 0));
        TurnOn =
            ChimoraGetProc<PFN_CHIMORA_TURN_ON>(m_hModule, CHIMORA_EXPORT_NAME(ChimoraTurnOn, 4));
        IsTurnedOn = ChimoraGetProc<PFN_CHIMORA_IS_TURNED_ON>(
            m_hModule, CHIMORA_EXPORT_NAME(ChimoraIsTurnedOn, 0));
    }
    ~CPluginCopy()
    {
        if (m_hModule != nullptr)
            ::FreeLibrary(m_hModule);
        ::RemoveDirectoryA(m_strIni.c_str());
        ::DeleteFileA(m_strIni.c_str());
        ::DeleteFileA(m_strPath.c_str());
    }

    BOOL IsLoaded() const { return m_hModule && IsSupported && Setup && TurnOn && IsTurnedOn; }
    HMODULE GetModule() const { return m_hModule; }
    const std::string& GetPath() const { return m_strPath; }

    void WriteSwitch(LPCSTR pszValue)
    {
        ::WritePrivateProfileStringA("Sound", "SoundOn", pszValue, m_strIni.c_str());
    }
    std::string ReadSwitch() const
    {
        char szValue[32];
        ::GetPrivateProfileStringA("Sound", "SoundOn", "<none>", szValue, sizeof(szValue),
                                   m_strIni.c_str());
        return szValue;
    }
    // A folder in the profile file's place: no write can succeed.
    void BlockProfile() { ::CreateDirectoryA(m_strIni.c_str(), nullptr); }

    PFN_CHIMORA_IS_SUPPORTED IsSupported = nullptr;
    PFN_CHIMORA_SETUP Setup = nullptr;
    PFN_CHIMORA_TURN_ON TurnOn = nullptr;
    PFN_CHIMORA_IS_TURNED_ON IsTurnedOn = nullptr;

private:
    HMODULE m_hModule = nullptr;
    std::string m_strPath;
    std::string m_strIni;
};

// The core library stand-in that the plug-in copy pulled in.
struct CCore
{
    CCore()
    {
        HMODULE hCore = ::GetModuleHandleA(CORVANE_DLL_NAME);
        SetAnswer = reinterpret_cast<PFN_CORVANE_SET_ANSWER>(
            reinterpret_cast<void (*)()>(::GetProcAddress(hCore, "CorvaneSetAnswer")));
        GetCallCount = reinterpret_cast<PFN_CORVANE_GET_CALL_COUNT>(
            reinterpret_cast<void (*)()>(::GetProcAddress(hCore, "CorvaneGetCallCount")));
    }
    ~CCore() { SetAnswer(TRUE, -1, 1); }

    PFN_CORVANE_SET_ANSWER SetAnswer;
    PFN_CORVANE_GET_CALL_COUNT GetCallCount;
};

TEST(PluginTest, HostIsAskedOncePerSetupWhateverTheAnswer)
{
    struct Case
    {
        const char* pszName;
        BOOL bAnswer;
        int nCode; // -1: the request code
        BYTE nSupport;
        int nExpected;
    };
    const Case cases[] = {
        {"supported", TRUE, -1, 1, 1},
        {"not supported", TRUE, -1, 0, 0},
        {"support byte 0x80", TRUE, -1, 0x80, 1},
        {"wrong request code", TRUE, 9, 1, 0},
        {"record left zero", FALSE, -1, 1, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CPluginCopy plugin("a");
        ASSERT_TRUE(plugin.IsLoaded());
        CCore core;
        core.SetAnswer(c.bAnswer, c.nCode, c.nSupport);
        LONG nCalls = core.GetCallCount();
        EXPECT_EQ(plugin.IsSupported(), c.nExpected);
        EXPECT_EQ(plugin.IsSupported(), c.nExpected);
        EXPECT_EQ(core.GetCallCount(), nCalls + 1);

        // The cached answer stays until Setup, then the host is asked again.
        core.SetAnswer(TRUE, -1, c.nExpected ? 0 : 1);
        EXPECT_EQ(plugin.IsSupported(), c.nExpected);
        plugin.Setup();
        EXPECT_EQ(plugin.IsSupported(), c.nExpected ? 0 : 1);
        EXPECT_EQ(core.GetCallCount(), nCalls + 2);
    }
}

TEST(PluginTest, TurnOnStoresAndCachesOneOrZero)
{
    CPluginCopy plugin("a");
    ASSERT_TRUE(plugin.IsLoaded());
    EXPECT_NE(plugin.TurnOn(5), 0);
    EXPECT_EQ(plugin.ReadSwitch(), "1");
    plugin.WriteSwitch("0");
    EXPECT_EQ(plugin.IsTurnedOn(), 1) << "the cache answers, not the file";

    EXPECT_NE(plugin.TurnOn(0), 0);
    EXPECT_EQ(plugin.ReadSwitch(), "0");
    EXPECT_EQ(plugin.IsTurnedOn(), 0);
}

TEST(PluginTest, IsTurnedOnReadsTheStoredSwitchOnce)
{
    struct Case
    {
        LPCSTR pszStored; // null: no entry
        int nExpected;
    };
    const Case cases[] = {{nullptr, 0}, {"7", 7}, {"0", 0}, {"  1 ", 1}, {"on", 0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszStored ? c.pszStored : "no entry");
        CPluginCopy plugin("a");
        ASSERT_TRUE(plugin.IsLoaded());
        if (c.pszStored != nullptr)
            plugin.WriteSwitch(c.pszStored);
        EXPECT_EQ(plugin.IsTurnedOn(), c.nExpected);
        plugin.WriteSwitch("3");
        EXPECT_EQ(plugin.IsTurnedOn(), c.nExpected);
    }
}

TEST(PluginTest, NegativeStoredSwitchIsReadEveryTime)
{
    CPluginCopy plugin("a");
    ASSERT_TRUE(plugin.IsLoaded());
    plugin.WriteSwitch("-1");
    EXPECT_EQ(plugin.IsTurnedOn(), -1);
    plugin.WriteSwitch("4");
    EXPECT_EQ(plugin.IsTurnedOn(), 4);
    plugin.WriteSwitch("-1");
    EXPECT_EQ(plugin.IsTurnedOn(), 4);
}

TEST(PluginTest, ModulesKeepSeparateSwitches)
{
    CPluginCopy first("a");
    CPluginCopy second("b");
    ASSERT_TRUE(first.IsLoaded() && second.IsLoaded());
    EXPECT_NE(first.TurnOn(1), 0);
    EXPECT_EQ(second.IsTurnedOn(), 0);
    EXPECT_EQ(second.ReadSwitch(), "<none>");
    EXPECT_EQ(first.IsTurnedOn(), 1);
}

TEST(PluginTest, SetupLeavesTheSwitchAlone)
{
    CPluginCopy plugin("a");
    ASSERT_TRUE(plugin.IsLoaded());
    plugin.TurnOn(1);
    plugin.WriteSwitch("0");
    plugin.Setup();
    EXPECT_EQ(plugin.IsTurnedOn(), 1);
}

TEST(PluginTest, FailedWriteReportsZeroButKeepsTheCache)
{
    CPluginCopy plugin("a");
    ASSERT_TRUE(plugin.IsLoaded());
    plugin.BlockProfile();
    EXPECT_EQ(plugin.TurnOn(1), 0);
    EXPECT_EQ(plugin.IsTurnedOn(), 1);
}

TEST(PluginTest, StartUpReadsTheSharedStore)
{
    // InitInstance ran at load: its reads of the shared store created the key.
    CPluginCopy plugin("a");
    ASSERT_TRUE(plugin.IsLoaded());
    HKEY hKey = nullptr;
    EXPECT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "software\\Vintora\\Options\\Settings", 0,
                              KEY_READ, &hKey),
              ERROR_SUCCESS);
    ::RegCloseKey(hKey);
}

TEST(PluginTest, ClickIsThe854ByteWaveInGerman)
{
    CPluginCopy plugin("a");
    ASSERT_TRUE(plugin.IsLoaded());
    HRSRC hInfo = ::FindResourceExA(plugin.GetModule(), "WAVE", "IDW_CLICK",
                                    MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    ASSERT_NE(hInfo, nullptr);
    ASSERT_EQ(::SizeofResource(plugin.GetModule(), hInfo), 854u);
    const BYTE* pWave =
        static_cast<const BYTE*>(::LockResource(::LoadResource(plugin.GetModule(), hInfo)));
    ASSERT_NE(pWave, nullptr);

    struct Field
    {
        size_t nOffset;
        size_t nSize;
        const char* pszBytes;
    };
    const Field fields[] = {
        {0, 4, "RIFF"},
        {4, 4, "\x4D\x03\0\0"}, // 845: the pad byte is not counted
        {8, 8, "WAVEfmt "},
        {16, 4, "\x10\0\0\0"},
        {20, 4, "\x01\0\x01\0"},             // PCM, mono
        {24, 8, "\x11\x2B\0\0\x11\x2B\0\0"}, // 11025 Hz, 11025 bytes/s
        {32, 4, "\x01\0\x08\0"},             // block 1, 8 bits
        {36, 8, "data\x29\x03\0\0"},         // 809 samples
        {853, 1, "\0"},
    };
    for (const Field& f : fields)
    {
        SCOPED_TRACE(f.nOffset);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(pWave) + f.nOffset, f.nSize),
                  std::string(f.pszBytes, f.nSize));
    }
    // Two bursts: sound at the start and again about 27 ms (298 samples) in,
    // silence between and at the end.
    auto loudness = [&](size_t nFrom, size_t nTo)
    {
        int nMax = 0;
        for (size_t i = 44 + nFrom; i < 44 + nTo; ++i)
            nMax = std::max(nMax, std::abs(pWave[i] - 128));
        return nMax;
    };
    EXPECT_GT(loudness(0, 20), 40);
    EXPECT_LT(loudness(250, 295), 4);
    EXPECT_GT(loudness(298, 320), 30);
    EXPECT_LT(loudness(780, 809), 4);
}

TEST(PluginTest, VersionResource)
{
    CPluginCopy plugin("a");
    ASSERT_TRUE(plugin.IsLoaded());
    DWORD dwHandle = 0;
    DWORD nSize = ::GetFileVersionInfoSizeA(plugin.GetPath().c_str(), &dwHandle);
    ASSERT_GT(nSize, 0u);
    std::string data(nSize, '\0');
    ASSERT_TRUE(::GetFileVersionInfoA(plugin.GetPath().c_str(), 0, nSize, &data[0]));

    VS_FIXEDFILEINFO* pFixed = nullptr;
    UINT nLength = 0;
    ASSERT_TRUE(::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&pFixed), &nLength));
    EXPECT_EQ(pFixed->dwFileVersionMS, 0x000A0000u);
    EXPECT_EQ(pFixed->dwFileVersionLS, 0x00020003u);
    EXPECT_EQ(pFixed->dwProductVersionMS, 0x000A0000u);
    EXPECT_EQ(pFixed->dwProductVersionLS, 0x00020003u);
    EXPECT_EQ(pFixed->dwFileFlags, 0u);
    EXPECT_EQ(pFixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
    EXPECT_EQ(pFixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* pTranslation = nullptr;
    ASSERT_TRUE(::VerQueryValueA(data.data(), "\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&pTranslation), &nLength));
    ASSERT_EQ(nLength, 4u);
    EXPECT_EQ(pTranslation[0], 0x0000);
    EXPECT_EQ(pTranslation[1], 0x04b0);

    const std::pair<const char*, const char*> strings[] = {
        {"FileVersion", "10.0 B3"},
        {"FileDescription", "Vintora Software"},
        {"ProductName", "Vintora"},
        {"LegalTrademarks", "Vintora\xAE"}, // the registered sign, code page 1252
    };
    for (const auto& s : strings)
    {
        SCOPED_TRACE(s.first);
        char* pszValue = nullptr;
        std::string strQuery = std::string("\\StringFileInfo\\000004b0\\") + s.first;
        ASSERT_TRUE(::VerQueryValueA(data.data(), strQuery.c_str(),
                                     reinterpret_cast<void**>(&pszValue), &nLength));
        EXPECT_STREQ(pszValue, s.second);
    }
}

// This program exports the iteration entry point too (PluginTest*.def), so
// the plug-in's copy hands a map this program made back to this program,
// which keeps the snapshot its own GetNextAssoc walks.
TEST(PluginTest, MapIterationExportForwardsToTheMapsOwner)
{
    CPluginCopy plugin("m");
    ASSERT_TRUE(plugin.IsLoaded());
    typedef POSITION(WINAPI * PFN_GET_START_POSITION)(CMapPtrToPtrEx*);
    auto pfnGetStartPosition = ChimoraGetProc<PFN_GET_START_POSITION>(
        plugin.GetModule(), CHIMORA_EXPORT_NAME(CMapPtrToPtrEx_GetStartPosition, 4));
    ASSERT_NE(pfnGetStartPosition, nullptr);

    CMapPtrToPtrEx map;
    EXPECT_EQ(pfnGetStartPosition(&map), nullptr) << "no state: nothing to visit";
    for (UINT_PTR n = 1; n <= 3; ++n)
        map.SetAt(reinterpret_cast<void*>(n), reinterpret_cast<void*>(n * 10));
    POSITION pos = pfnGetStartPosition(&map);
    UINT_PTR nSum = 0;
    while (pos != nullptr)
    {
        void* key;
        void* value;
        map.GetNextAssoc(pos, key, value);
        EXPECT_EQ(reinterpret_cast<UINT_PTR>(value), reinterpret_cast<UINT_PTR>(key) * 10);
        nSum += reinterpret_cast<UINT_PTR>(key);
    }
    EXPECT_EQ(nSum, 6u);
}

} // namespace
