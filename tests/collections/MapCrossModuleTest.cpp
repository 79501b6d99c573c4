// Maps created by one module and iterated by another module's copy of the
// collection code. The modules are loaded at run time, each with its own
// copy of the library and its own allocation counter, so the counters show
// which copy made the snapshot.
#include "MapPtrToPtrEx.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <dlfcn.h>
#endif

namespace
{
class CTestModule
{
public:
    explicit CTestModule(LPCSTR pszFile)
    {
#ifdef _WIN32
        m_hModule = LoadLibraryA(pszFile);
#else
        m_hModule = dlopen(pszFile, RTLD_NOW | RTLD_LOCAL);
#endif
        if (m_hModule == nullptr)
            return;
        Find(m_pfnCreate, "MapModule_CreateMap");
        Find(m_pfnDestroy, "MapModule_DestroyMap");
        Find(m_pfnWalk, "MapModule_Walk");
        Find(m_pfnLive, "MapModule_LiveAllocations");
        Find(m_pfnFailAfter, "MapModule_FailAllocationAfter");
    }
    ~CTestModule()
    {
        if (m_hModule == nullptr)
            return;
#ifdef _WIN32
        FreeLibrary(static_cast<HMODULE>(m_hModule));
#else
        dlclose(m_hModule);
#endif
    }
    CTestModule(const CTestModule&) = delete;
    CTestModule& operator=(const CTestModule&) = delete;

    BOOL IsLoaded() const
    {
        return m_pfnCreate && m_pfnDestroy && m_pfnWalk && m_pfnLive && m_pfnFailAfter;
    }

    void* (*m_pfnCreate)(int) = nullptr;
    void (*m_pfnDestroy)(void*) = nullptr;
    int (*m_pfnWalk)(void*) = nullptr;
    INT_PTR (*m_pfnLive)() = nullptr;
    void (*m_pfnFailAfter)(int) = nullptr;

private:
    template <class PFN>
    void Find(PFN& pfn, LPCSTR pszName)
    {
#ifdef _WIN32
        pfn = reinterpret_cast<PFN>(
            reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_hModule), pszName)));
#else
        pfn = reinterpret_cast<PFN>(dlsym(m_hModule, pszName));
#endif
    }

    void* m_hModule = nullptr;
};

class MapCrossModuleTest : public ::testing::Test
{
protected:
    CTestModule m_owner{MAP_TEST_MODULE_A};
    CTestModule m_other{MAP_TEST_MODULE_B};
    CTestModule m_silent{MAP_TEST_MODULE_NO_EXPORT};

    void SetUp() override
    {
        ASSERT_TRUE(m_owner.IsLoaded());
        ASSERT_TRUE(m_other.IsLoaded());
        ASSERT_TRUE(m_silent.IsLoaded());
    }
};

TEST_F(MapCrossModuleTest, ForeignIterationRunsOnTheOwnersSnapshot)
{
    void* pMap = m_owner.m_pfnCreate(30);
    ASSERT_NE(nullptr, pMap);
    INT_PTR nOwnerLive = m_owner.m_pfnLive();
    INT_PTR nOtherLive = m_other.m_pfnLive();
    EXPECT_EQ(30, m_other.m_pfnWalk(pMap));
    EXPECT_GT(m_owner.m_pfnLive(), nOwnerLive) << "the owner made the snapshot";
    EXPECT_EQ(nOtherLive, m_other.m_pfnLive());
    EXPECT_EQ(30, m_owner.m_pfnWalk(pMap)) << "and reuses it itself";
    m_owner.m_pfnDestroy(pMap);
}

TEST_F(MapCrossModuleTest, ThisProgramsCopyForwardsToo)
{
    void* pMap = m_owner.m_pfnCreate(5);
    const CMapPtrToPtrEx& map = *static_cast<CMapPtrToPtrEx*>(pMap);
    int nSeen = 0;
    POSITION pos = map.GetStartPosition();
    while (pos != nullptr)
    {
        void* key;
        void* value;
        map.GetNextAssoc(pos, key, value);
        EXPECT_EQ(reinterpret_cast<UINT_PTR>(key) * 10, reinterpret_cast<UINT_PTR>(value));
        ++nSeen;
    }
    EXPECT_EQ(5, nSeen);
    m_owner.m_pfnDestroy(pMap);
}

TEST_F(MapCrossModuleTest, OwnersFailureArrivesAsThisModulesException)
{
    void* pMap = m_owner.m_pfnCreate(5);
    m_owner.m_pfnFailAfter(0);
    EXPECT_THROW(static_cast<CMapPtrToPtrEx*>(pMap)->GetStartPosition(), CMemoryException);
    EXPECT_EQ(5, m_other.m_pfnWalk(pMap)) << "the owner recovered";
    m_owner.m_pfnDestroy(pMap);
}

TEST_F(MapCrossModuleTest, OwnerWithoutTheExportGivesAnEmptyIteration)
{
    void* pMap = m_silent.m_pfnCreate(5);
    EXPECT_EQ(0, m_owner.m_pfnWalk(pMap));
    EXPECT_EQ(nullptr, static_cast<CMapPtrToPtrEx*>(pMap)->GetStartPosition());
    EXPECT_EQ(5, m_silent.m_pfnWalk(pMap)) << "its own code still iterates it";
    m_silent.m_pfnDestroy(pMap);
}
} // namespace
