// CMapPtrToPtrEx against std::unordered_map<uintptr_t, uintptr_t> behind a
// shared lock: same keys (made before the timed region), same operations.
// After the runs a table gives each pair's speed ratio (core / peer, above
// 1 means the core is faster) and the core's 2-thread read scaling.
#include "MapPtrToPtrEx.h"
#include "SharedLock.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <random>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace
{
// Keys 1..n spread over the address-like range, so hashing is not trivial.
uintptr_t KeyAt(size_t i)
{
    return (static_cast<uintptr_t>(i) + 1) * 0x9E3779B1u;
}

const size_t g_nProbes = 1 << 16;

// Probe indexes into 0..n-1: uniform, or Zipf-like (s = 1) by inverse CDF
// over a harmonic table.
std::vector<size_t> MakeProbes(size_t nKeys, bool bSkewed)
{
    std::mt19937_64 rng(42);
    std::vector<size_t> probes(g_nProbes);
    if (!bSkewed)
    {
        std::uniform_int_distribution<size_t> dist(0, nKeys - 1);
        for (size_t& p : probes)
            p = dist(rng);
        return probes;
    }
    std::vector<double> cdf(nKeys);
    double dSum = 0;
    for (size_t i = 0; i < nKeys; ++i)
        cdf[i] = dSum += 1.0 / static_cast<double>(i + 1);
    std::uniform_real_distribution<double> dist(0, dSum);
    for (size_t& p : probes)
        p = static_cast<size_t>(std::lower_bound(cdf.begin(), cdf.end(), dist(rng)) - cdf.begin());
    return probes;
}

class CExMap
{
public:
    bool Lookup(uintptr_t key, uintptr_t& value) const
    {
        void* p;
        BOOL b = m_map.Lookup(reinterpret_cast<void*>(key), p);
        value = reinterpret_cast<uintptr_t>(p);
        return b != FALSE;
    }
    void SetAt(uintptr_t key, uintptr_t value)
    {
        m_map.SetAt(reinterpret_cast<void*>(key), reinterpret_cast<void*>(value));
    }
    template <class FN>
    void ForEach(FN fn) const
    {
        POSITION pos = m_map.GetStartPosition();
        while (pos != nullptr)
        {
            void* key;
            void* value;
            m_map.GetNextAssoc(pos, key, value);
            fn(reinterpret_cast<uintptr_t>(key), reinterpret_cast<uintptr_t>(value));
        }
    }
    void OwnValues() { m_map.SetOwnership(FALSE, TRUE); }

private:
    CMapPtrToPtrEx m_map;
};

class CPeerMap
{
public:
    ~CPeerMap()
    {
        if (m_bOwnValues)
        {
            for (auto& entry : m_map)
                ::operator delete(reinterpret_cast<void*>(entry.second));
        }
    }
    bool Lookup(uintptr_t key, uintptr_t& value) const
    {
        std::shared_lock<CSharedLock> lock(m_lock);
        auto it = m_map.find(key);
        if (it == m_map.end())
            return false;
        value = it->second;
        return true;
    }
    void SetAt(uintptr_t key, uintptr_t value)
    {
        std::unique_lock<CSharedLock> lock(m_lock);
        uintptr_t& slot = m_map[key];
        if (m_bOwnValues && slot != 0 && slot != value)
            ::operator delete(reinterpret_cast<void*>(slot));
        slot = value;
    }
    template <class FN>
    void ForEach(FN fn) const
    {
        std::shared_lock<CSharedLock> lock(m_lock);
        for (const auto& entry : m_map)
            fn(entry.first, entry.second);
    }
    void OwnValues() { m_bOwnValues = true; }

private:
    mutable CSharedLock m_lock;
    std::unordered_map<uintptr_t, uintptr_t> m_map;
    bool m_bOwnValues = false;
};

template <class MAP>
void Fill(MAP& map, size_t nKeys)
{
    for (size_t i = 0; i < nKeys; ++i)
        map.SetAt(KeyAt(i), i);
}

// range(0): keys; range(1): 1 = misses; range(2): 1 = skewed.
template <class MAP>
void BM_Lookup(benchmark::State& state)
{
    const size_t nKeys = static_cast<size_t>(state.range(0));
    const bool bMiss = state.range(1) != 0;
    std::vector<size_t> probes = MakeProbes(nKeys, state.range(2) != 0);
    std::vector<uintptr_t> keys(probes.size());
    for (size_t i = 0; i < probes.size(); ++i)
        keys[i] = KeyAt(probes[i] + (bMiss ? nKeys : 0));
    MAP map;
    Fill(map, nKeys);
    size_t i = 0;
    for (auto _ : state)
    {
        uintptr_t value;
        benchmark::DoNotOptimize(map.Lookup(keys[i++ & (g_nProbes - 1)], value));
    }
    state.SetItemsProcessed(state.iterations());
}

template <class MAP>
void BM_InsertWithGrowth(benchmark::State& state)
{
    const size_t nKeys = static_cast<size_t>(state.range(0));
    for (auto _ : state)
    {
        MAP map;
        Fill(map, nKeys);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(nKeys));
}

// Shared by the threads of one run; thread 0 builds it before the loop's
// start barrier.
template <class MAP>
struct CShared
{
    static MAP* s_pMap;
    static std::vector<uintptr_t> s_aKeys;
};
template <class MAP>
MAP* CShared<MAP>::s_pMap = nullptr;
template <class MAP>
std::vector<uintptr_t> CShared<MAP>::s_aKeys;

// range(0): percent of operations that insert.
template <class MAP>
void BM_ThreadedMix(benchmark::State& state)
{
    const size_t nKeys = 100000;
    if (state.thread_index() == 0)
    {
        CShared<MAP>::s_pMap = new MAP;
        Fill(*CShared<MAP>::s_pMap, nKeys);
        CShared<MAP>::s_aKeys.clear();
        for (size_t p : MakeProbes(nKeys, false))
            CShared<MAP>::s_aKeys.push_back(KeyAt(p));
    }
    const int nInsertPercent = static_cast<int>(state.range(0));
    size_t i = static_cast<size_t>(state.thread_index()) * 7919;
    size_t nNext = nKeys + static_cast<size_t>(state.thread_index()) * 50000000;
    for (auto _ : state)
    {
        MAP& map = *CShared<MAP>::s_pMap;
        if (nInsertPercent != 0 && (i % 100) < static_cast<size_t>(nInsertPercent))
        {
            map.SetAt(KeyAt(nNext++), 1);
        }
        else
        {
            uintptr_t value;
            benchmark::DoNotOptimize(map.Lookup(CShared<MAP>::s_aKeys[i & (g_nProbes - 1)], value));
        }
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0)
    {
        delete CShared<MAP>::s_pMap;
        CShared<MAP>::s_pMap = nullptr;
    }
}

// One full walk of an unchanged map per benchmark iteration; the warm-up
// walk happens outside the timed region, so the core's later walks reuse
// its snapshot.
template <class MAP>
void BM_IterateUnchanged(benchmark::State& state)
{
    const size_t nKeys = static_cast<size_t>(state.range(0));
    MAP map;
    Fill(map, nKeys);
    uintptr_t nSum = 0;
    map.ForEach([&](uintptr_t k, uintptr_t v) { nSum += k ^ v; });
    for (auto _ : state)
    {
        map.ForEach([&](uintptr_t k, uintptr_t v) { nSum += k ^ v; });
        benchmark::DoNotOptimize(nSum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(nKeys));
}

// SetAt replacing an owned value by a new block.
template <class MAP>
void BM_ReplaceOwned(benchmark::State& state)
{
    const size_t nKeys = static_cast<size_t>(state.range(0));
    MAP map;
    map.OwnValues();
    for (size_t i = 0; i < nKeys; ++i)
        map.SetAt(KeyAt(i), reinterpret_cast<uintptr_t>(::operator new(8)));
    size_t i = 0;
    for (auto _ : state)
        map.SetAt(KeyAt(i++ % nKeys), reinterpret_cast<uintptr_t>(::operator new(8)));
    state.SetItemsProcessed(state.iterations());
}

void LookupArgs(benchmark::internal::Benchmark* b)
{
    for (int64_t n : {1000, 100000, 1000000})
        for (int64_t miss : {0, 1})
            for (int64_t skew : {0, 1})
                b->Args({n, miss, skew});
}

#define MAP_BENCH_PAIR(fn, ...)                                                                    \
    BENCHMARK_TEMPLATE(fn, CExMap) __VA_ARGS__;                                                    \
    BENCHMARK_TEMPLATE(fn, CPeerMap) __VA_ARGS__;

MAP_BENCH_PAIR(BM_Lookup, ->Apply(LookupArgs))
MAP_BENCH_PAIR(BM_InsertWithGrowth, ->Arg(100000)->Unit(benchmark::kMillisecond))
MAP_BENCH_PAIR(BM_ThreadedMix, ->Arg(0)->Threads(1)->Threads(2)->UseRealTime())
MAP_BENCH_PAIR(BM_ThreadedMix, ->Arg(10)->Threads(2)->UseRealTime())
MAP_BENCH_PAIR(BM_IterateUnchanged, ->Arg(1000000)->Unit(benchmark::kMillisecond))
MAP_BENCH_PAIR(BM_ReplaceOwned, ->Arg(1000)->Arg(100000))

// Collects items per second by run name while printing as usual.
class CRatioReporter : public benchmark::ConsoleReporter
{
public:
    // Plain text: the output usually goes to a log.
    CRatioReporter() : ConsoleReporter(OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
        {
            auto it = run.counters.find("items_per_second");
            if (it != run.counters.end())
                m_rates[run.benchmark_name()] = it->second.value;
        }
    }

    void PrintRatios() const
    {
        std::printf("\nCore speed / peer speed (above 1: the core is faster)\n");
        const std::string strCore = "<CExMap>";
        for (const auto& entry : m_rates)
        {
            size_t nAt = entry.first.find(strCore);
            if (nAt == std::string::npos)
                continue;
            std::string strPeer = entry.first;
            strPeer.replace(nAt, strCore.size(), "<CPeerMap>");
            auto peer = m_rates.find(strPeer);
            if (peer != m_rates.end())
                std::printf("  %-60s %6.2f\n", entry.first.c_str(), entry.second / peer->second);
        }
        std::printf("\n2-thread / 1-thread read throughput\n");
        for (const char* pszMap : {"CExMap", "CPeerMap"})
        {
            std::string strBase = std::string("BM_ThreadedMix<") + pszMap + ">/0/real_time";
            auto one = m_rates.find(strBase + "/threads:1");
            auto two = m_rates.find(strBase + "/threads:2");
            if (one != m_rates.end() && two != m_rates.end())
                std::printf("  %-10s %6.2f\n", pszMap, two->second / one->second);
        }
    }

private:
    std::map<std::string, double> m_rates;
};
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
