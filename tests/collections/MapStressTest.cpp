// Readers, writers, removers and iterators on one map at once. Every value
// is a function of its key, so any torn or stale entry shows as a mismatch;
// the run is bounded by operation counts, never by time.
#include "MapTestSupport.h"

#include <atomic>
#include <set>
#include <thread>

namespace
{
const UINT_PTR g_nKeys = 600; // crosses several growth steps
const int g_nRounds = 3000;

UINT_PTR ValueOf(UINT_PTR nKey)
{
    return nKey * 7 + 3;
}

class MapStressTest : public CMapTest
{
};

TEST_F(MapStressTest, ConcurrentUseKeepsEntriesConsistent)
{
    CMapPtrToPtrEx map;
    std::atomic<int> nFaults{0};
    std::atomic<int> nIterations{0};
    auto fault = [&]() { nFaults.fetch_add(1); };

    auto writer = [&](UINT_PTR nSeed)
    {
        for (int i = 0; i < g_nRounds; ++i)
        {
            UINT_PTR nKey = 1 + (nSeed + static_cast<UINT_PTR>(i) * 13) % g_nKeys;
            map.SetAt(Slot(nKey), Slot(ValueOf(nKey)));
        }
    };
    auto remover = [&]()
    {
        for (int i = 0; i < g_nRounds; ++i)
            map.RemoveKey(Slot(1 + (static_cast<UINT_PTR>(i) * 31) % g_nKeys));
    };
    auto reader = [&]()
    {
        for (int i = 0; i < g_nRounds; ++i)
        {
            UINT_PTR nKey = 1 + (static_cast<UINT_PTR>(i) * 17) % (g_nKeys + 50);
            void* value;
            if (map.Lookup(Slot(nKey), value) && Num(value) != ValueOf(nKey))
                fault();
            if (map.GetCount() < 0 || map.GetHashTableSize() < 17)
                fault();
        }
    };
    auto iterator = [&]()
    {
        for (int i = 0; i < g_nRounds / 100; ++i)
        {
            std::set<void*> seen;
            POSITION pos = map.GetStartPosition();
            while (pos != nullptr)
            {
                void* key;
                void* value;
                map.GetNextAssoc(pos, key, value);
                if (key == nullptr) // removed between two calls: the one allowed blank
                    continue;
                if (Num(key) < 1 || Num(key) > g_nKeys || Num(value) != ValueOf(Num(key)) ||
                    !seen.insert(key).second)
                    fault();
            }
            nIterations.fetch_add(1);
        }
    };

    std::vector<std::thread> threads;
    threads.emplace_back(writer, 0);
    threads.emplace_back(writer, 5);
    threads.emplace_back(remover);
    threads.emplace_back(reader);
    threads.emplace_back(reader);
    threads.emplace_back(iterator);
    threads.emplace_back(iterator);
    for (std::thread& t : threads)
        t.join();

    EXPECT_EQ(0, nFaults.load());
    EXPECT_EQ(2 * (g_nRounds / 100), nIterations.load());
    INT_PTR nCount = 0;
    for (const auto& entry : Walk(map))
    {
        EXPECT_EQ(ValueOf(Num(entry.first)), Num(entry.second));
        ++nCount;
    }
    EXPECT_EQ(map.GetCount(), nCount);
}

TEST_F(MapStressTest, RacingFirstStoresPublishOneState)
{
    for (int nRun = 0; nRun < 20; ++nRun)
    {
        CMapPtrToPtrEx map;
        std::vector<std::thread> threads;
        for (UINT_PTR t = 1; t <= 4; ++t)
            threads.emplace_back([&map, t]() { map.SetAt(Slot(t), Slot(ValueOf(t))); });
        for (std::thread& t : threads)
            t.join();
        ASSERT_EQ(4, map.GetCount());
    }
}

// Frees run outside the lock, so the count is atomic.
class CCountingMap : public CMapPtrToPtrEx
{
public:
    ~CCountingMap() override { RemoveAllFromDestructor(); }
    void DeleteValue(void* value) override
    {
        m_nFreed.fetch_add(1);
        ::operator delete(value);
    }
    std::atomic<int> m_nFreed{0};
};

TEST_F(MapStressTest, OwnedValuesAreFreedOnceUnderConcurrentReplacement)
{
    CCountingMap map;
    map.SetOwnership(FALSE, TRUE);
    auto writer = [&](int nSeed)
    {
        for (int i = 0; i < 500; ++i)
            map.SetAt(Slot(1 + (nSeed + i) % 40), ::operator new(8));
    };
    std::thread a(writer, 0);
    std::thread b(writer, 7);
    a.join();
    b.join();
    EXPECT_EQ(40, map.GetCount());
    EXPECT_EQ(1000 - 40, map.m_nFreed.load());
}
} // namespace
