// Readers, writers, removers and iterators on one map at once. Every value
// is a function of its key, so any torn or stale entry shows as a mismatch;
// the run is bounded by operation counts, never by time.
#include "MapTestSupport.h"

#include <atomic>
#include <functional>
#include <set>
#include <thread>

namespace
{
const UINT_PTR g_nKeys = 600; // crosses several growth steps
// Sized so the run takes about a second under TSan or in a Debug ASan
// build; the test's CTest timeout is the bound.
const int g_nRounds = 200000;

UINT_PTR ValueOf(UINT_PTR nKey)
{
    return nKey * 7 + 3;
}

class MapStressTest : public CMapTest
{
};

// Holds every thread until all have started, so that the work overlaps
// instead of running one thread after another while the next is created.
class CStartGate
{
public:
    explicit CStartGate(int nThreads) : m_nWaiting(nThreads) {}
    void Pass()
    {
        m_nWaiting.fetch_sub(1);
        while (m_nWaiting.load() > 0)
            std::this_thread::yield();
    }

private:
    std::atomic<int> m_nWaiting;
};

// Runs each job on its own thread, all released together.
void RunTogether(const std::vector<std::function<void()>>& jobs)
{
    CStartGate gate(static_cast<int>(jobs.size()));
    std::vector<std::thread> threads;
    for (const auto& job : jobs)
        threads.emplace_back(
            [&gate, &job]
            {
                gate.Pass();
                job();
            });
    for (std::thread& t : threads)
        t.join();
}

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

    RunTogether(
        {[&] { writer(0); }, [&] { writer(5); }, remover, reader, reader, iterator, iterator});

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
        std::vector<std::function<void()>> stores;
        for (UINT_PTR t = 1; t <= 4; ++t)
            stores.push_back([&map, t]() { map.SetAt(Slot(t), Slot(ValueOf(t))); });
        RunTogether(stores);
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
    const int nStores = 5000;
    auto writer = [&](int nSeed)
    {
        for (int i = 0; i < nStores; ++i)
            map.SetAt(Slot(1 + (nSeed + i) % 40), ::operator new(8));
    };
    RunTogether({[&] { writer(0); }, [&] { writer(7); }});
    EXPECT_EQ(40, map.GetCount());
    EXPECT_EQ(2 * nStores - 40, map.m_nFreed.load());
}
} // namespace
