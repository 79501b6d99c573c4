#include "MapTestSupport.h"

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <thread>

namespace
{
class MapCoreTest : public CMapTest
{
};

void FillKeys(CMapPtrToPtrEx& map, UINT_PTR nFirst, UINT_PTR nCount)
{
    for (UINT_PTR n = nFirst; n < nFirst + nCount; ++n)
        map.SetAt(Slot(n), Slot(n * 10));
}

TEST_F(MapCoreTest, NewMapIsEmptyWithoutAllocating)
{
    INT_PTR nLive = AfxLiveAllocationCount();
    CMapPtrToPtrEx map;
    void* value = Slot(7);
    EXPECT_EQ(0, map.GetCount());
    EXPECT_EQ(17u, map.GetHashTableSize());
    EXPECT_EQ(nullptr, map.GetStartPosition());
    EXPECT_FALSE(map.Lookup(Slot(1), value));
    EXPECT_EQ(Slot(7), value) << "no state: the caller's value stays";
    EXPECT_FALSE(map.RemoveKey(Slot(1)));
    map.RemoveAll();
    EXPECT_EQ(nLive, AfxLiveAllocationCount());
    EXPECT_EQ(0, map.m_bDeleteKeys | map.m_bDeleteValues | map.m_bNullRemoves);
}

TEST_F(MapCoreTest, LookupMissClearsValueOnceStateExists)
{
    CMapPtrToPtrEx map;
    map.SetAt(Slot(1), Slot(2));
    void* value = Slot(7);
    EXPECT_FALSE(map.Lookup(Slot(3), value));
    EXPECT_EQ(nullptr, value);
    EXPECT_TRUE(map.Lookup(Slot(1), value));
    EXPECT_EQ(Slot(2), value);
    map.SetAt(Slot(1), Slot(5));
    EXPECT_TRUE(map.Lookup(Slot(1), value));
    EXPECT_EQ(Slot(5), value);
    EXPECT_EQ(1, map.GetCount());
}

struct CGrowthCase
{
    const char* m_pszName;
    UINT_PTR m_nKey; // keys 1..8 hold n * 10
    UINT_PTR m_nValue;
    BOOL m_bNullRemoves;
    UINT m_nBuckets;
};

TEST_F(MapCoreTest, NinthStoreDecidesGrowthBeforeItLands)
{
    const CGrowthCase aCases[] = {
        {"new key", 9, 90, FALSE, 53},
        {"replace with another value", 3, 31, FALSE, 53},
        {"replace with the same value", 3, 30, FALSE, 17},
        {"null removes a key", 3, 0, TRUE, 53},
        {"null removes a missing key", 99, 0, TRUE, 53},
    };
    for (const CGrowthCase& c : aCases)
    {
        SCOPED_TRACE(c.m_pszName);
        CMapPtrToPtrEx map;
        map.SetNullRemoves(c.m_bNullRemoves);
        FillKeys(map, 1, 8);
        ASSERT_EQ(17u, map.GetHashTableSize());
        map.SetAt(Slot(c.m_nKey), Slot(c.m_nValue));
        EXPECT_EQ(c.m_nBuckets, map.GetHashTableSize());
    }
    CMapPtrToPtrEx seven;
    FillKeys(seven, 1, 7);
    seven.SetAt(Slot(8), Slot(80));
    EXPECT_EQ(17u, seven.GetHashTableSize()) << "the eighth key still fits";
}

TEST_F(MapCoreTest, GrowsAlongPrimesAtHalfFull)
{
    CMapPtrToPtrEx map;
    std::vector<std::pair<INT_PTR, UINT>> aSteps; // entries before the store, new size
    UINT nSize = map.GetHashTableSize();
    for (UINT_PTR n = 1; n <= 800; ++n)
    {
        INT_PTR nBefore = map.GetCount();
        map.SetAt(Slot(n), Slot(n));
        if (map.GetHashTableSize() != nSize)
        {
            nSize = map.GetHashTableSize();
            aSteps.emplace_back(nBefore, nSize);
        }
    }
    const std::vector<std::pair<INT_PTR, UINT>> aExpected = {{8, 53},    {26, 101},  {50, 211},
                                                             {105, 401}, {200, 809}, {404, 1601}};
    EXPECT_EQ(aExpected, aSteps);
    void* value;
    for (UINT_PTR n = 1; n <= 800; ++n)
        ASSERT_TRUE(map.Lookup(Slot(n), value) && value == Slot(n)) << n;
}

TEST_F(MapCoreTest, RemoveAllKeepsBucketCountAndGrowsOn)
{
    CMapPtrToPtrEx map;
    FillKeys(map, 1, 20);
    ASSERT_EQ(53u, map.GetHashTableSize());
    map.RemoveAll();
    EXPECT_EQ(0, map.GetCount());
    EXPECT_EQ(53u, map.GetHashTableSize());
    FillKeys(map, 100, 27);
    EXPECT_EQ(101u, map.GetHashTableSize());
}

TEST_F(MapCoreTest, NullRemovesWithoutStateCreatesNothing)
{
    CMapPtrToPtrEx map;
    map.SetNullRemoves(TRUE);
    EXPECT_EQ(-1, map.m_bNullRemoves);
    INT_PTR nLive = AfxLiveAllocationCount();
    map.SetAt(Slot(1), nullptr);
    EXPECT_EQ(nLive, AfxLiveAllocationCount());

    map.SetAt(Slot(1), Slot(10));
    map.SetAt(Slot(2), Slot(20));
    POSITION pos = map.GetStartPosition();
    map.SetAt(Slot(1), nullptr); // a change the snapshot must notice
    void* value;
    EXPECT_FALSE(map.Lookup(Slot(1), value));
    void* key;
    map.GetNextAssoc(pos, key, value);
    EXPECT_EQ(Slot(2), key);
    EXPECT_EQ(nullptr, pos);

    CMapPtrToPtrEx plain;
    plain.SetAt(Slot(1), nullptr);
    EXPECT_TRUE(plain.Lookup(Slot(1), value)) << "without the flag null is a value";
}

// A fresh block per value, so a double or wrong free shows under ASan.
void* NewBlock()
{
    return ::operator new(8);
}

TEST_F(MapCoreTest, SharedOwnedValueIsFreedOnceWhenLastHolderGoes)
{
    CRecordingMap map;
    map.SetOwnership(FALSE, TRUE);
    void* pShared = NewBlock();
    map.SetAt(Slot(1), pShared);
    map.SetAt(Slot(2), pShared);
    map.SetAt(Slot(3), pShared);

    map.SetAt(Slot(1), NewBlock()); // re-assigning one holder
    EXPECT_TRUE(map.RemoveKey(Slot(2)));
    EXPECT_TRUE(map.m_aFreedValues.empty());
    EXPECT_TRUE(map.RemoveKey(Slot(3)));
    EXPECT_EQ(std::vector<void*>{pShared}, map.m_aFreedValues);

    void* pTwice = NewBlock();
    map.SetAt(Slot(4), pTwice);
    map.SetAt(Slot(5), pTwice);
    map.SetAt(Slot(6), nullptr);
    map.m_aFreedValues.clear();
    map.RemoveAll();
    EXPECT_EQ(2u, map.m_aFreedValues.size()) << "the block of key 1 and pTwice, once each";
    EXPECT_EQ(1, std::count(map.m_aFreedValues.begin(), map.m_aFreedValues.end(), pTwice));
}

TEST_F(MapCoreTest, ReplacingOwnedValueFreesTheOldOne)
{
    CRecordingMap map;
    map.SetOwnership(FALSE, TRUE);
    void* pOld = NewBlock();
    map.SetAt(Slot(1), pOld);
    map.SetAt(Slot(1), pOld); // the same value again frees nothing
    EXPECT_TRUE(map.m_aFreedValues.empty());
    map.SetAt(Slot(1), NewBlock());
    EXPECT_EQ(std::vector<void*>{pOld}, map.m_aFreedValues);
}

// Shared owned values through a run of stores, replacements and removals,
// with one allocation failing at each point in turn (growth, the entry, the
// hold counts or their update): every operation either completes or throws
// and changes nothing, and each block is freed once, when its last holder
// goes.
TEST_F(MapCoreTest, OwnedValuesFreedOnceWhicheverAllocationFails)
{
    for (int nFail = 0; nFail < 60; ++nFail)
    {
        SCOPED_TRACE(nFail);
        CRecordingMap map;
        map.SetOwnership(FALSE, TRUE);
        map.SetNullRemoves(TRUE);
        std::map<UINT_PTR, void*> model;
        std::vector<void*> aStored;
        std::mt19937 rng(static_cast<unsigned>(nFail));
        AfxFailAllocationAfter(nFail);
        for (int nStep = 0; nStep < 150; ++nStep)
        {
            const size_t nFreedBefore = map.m_aFreedValues.size();
            UINT_PTR nKey = rng() % 12 + 1;
            unsigned nOp = rng() % 4;
            try
            {
                if (nOp == 0)
                {
                    map.RemoveKey(Slot(nKey));
                    model.erase(nKey);
                }
                else
                {
                    void* pValue = nullptr;
                    if (nOp == 1 && !model.empty())
                        pValue = std::next(model.begin(), rng() % model.size())->second; // share
                    else if (nOp == 2)
                        pValue = NewBlock();
                    try
                    {
                        map.SetAt(Slot(nKey), pValue);
                    }
                    catch (const CMemoryException&)
                    {
                        ::operator delete(nOp == 2 ? pValue : nullptr);
                        throw;
                    }
                    if (pValue == nullptr)
                        model.erase(nKey);
                    else
                        model[nKey] = pValue;
                    if (nOp == 2)
                        aStored.push_back(pValue);
                }
            }
            catch (const CMemoryException&)
            {
            }
            ASSERT_EQ(static_cast<INT_PTR>(model.size()), map.GetCount());
            // A block freed earlier may come back from NewBlock at the same
            // address, so only this step's frees are checked.
            for (size_t n = nFreedBefore; n < map.m_aFreedValues.size(); ++n)
                for (const auto& entry : model)
                    ASSERT_NE(map.m_aFreedValues[n], entry.second)
                        << "freed while key " << entry.first << " holds it";
        }
        AfxFailAllocationAfter(-1);
        map.RemoveAll();
        ASSERT_EQ(aStored.size(), map.m_aFreedValues.size());
        for (void* p : aStored)
            EXPECT_EQ(std::count(aStored.begin(), aStored.end(), p),
                      std::count(map.m_aFreedValues.begin(), map.m_aFreedValues.end(), p));
    }
}

TEST_F(MapCoreTest, OwnedKeysFreedOnRemovalAndAsBothKeyAndValueOnce)
{
    CRecordingMap map;
    map.SetOwnership(TRUE, TRUE);
    void* pKey = NewBlock();
    void* pBoth = NewBlock(); // key of one entry and value of another
    map.SetAt(pKey, pBoth);
    map.SetAt(pBoth, pBoth);
    EXPECT_TRUE(map.RemoveKey(pKey));
    EXPECT_EQ(std::vector<void*>{pKey}, map.m_aFreedKeys);
    EXPECT_TRUE(map.m_aFreedValues.empty()) << "pBoth is still a key";
    map.RemoveAll();
    EXPECT_EQ((std::vector<void*>{pKey, pBoth}), map.m_aFreedKeys);
    EXPECT_TRUE(map.m_aFreedValues.empty());
}

TEST_F(MapCoreTest, NullRemovalNeverFreesTheKey)
{
    CRecordingMap map;
    map.SetOwnership(TRUE, FALSE);
    map.SetNullRemoves(TRUE);
    void* pKey = NewBlock();
    map.SetAt(pKey, Slot(1));
    map.SetAt(pKey, nullptr);
    EXPECT_EQ(0, map.GetCount());
    EXPECT_TRUE(map.m_aFreedKeys.empty());
    ::operator delete(pKey);
}

TEST_F(MapCoreTest, SnapshotSkipsRemovedKeysAndKeepsItsValues)
{
    CMapPtrToPtrEx map;
    FillKeys(map, 1, 5);
    POSITION pos = map.GetStartPosition();
    ASSERT_EQ(reinterpret_cast<POSITION>(1), pos);
    std::set<UINT_PTR> removed;
    std::vector<std::pair<void*, void*>> seen;
    while (pos != nullptr)
    {
        void* key;
        void* value;
        map.GetNextAssoc(pos, key, value);
        seen.emplace_back(key, value);
        if (seen.size() == 1)
        {
            map.SetAt(Slot(100), Slot(1000)); // added: not returned
            for (UINT_PTR n = 1; n <= 5; ++n)
            {
                if (Slot(n) != key && removed.size() < 2)
                {
                    map.RemoveKey(Slot(n));
                    removed.insert(n);
                }
            }
            for (UINT_PTR n = 1; n <= 5; ++n)
                map.SetAt(Slot(n), Slot(n * 10 + 1)); // changed: as at the fill
            for (UINT_PTR n : removed)
                map.RemoveKey(Slot(n));
        }
    }
    ASSERT_EQ(3u, seen.size());
    for (size_t i = 1; i < seen.size(); ++i)
    {
        EXPECT_EQ(0u, removed.count(Num(seen[i].first)));
        EXPECT_EQ(Num(seen[i].first) * 10, Num(seen[i].second));
    }
    EXPECT_EQ(4u, Walk(map).size()) << "a new iteration refills";
}

TEST_F(MapCoreTest, UnchangedMapIteratesWithoutCopying)
{
    CMapPtrToPtrEx map;
    FillKeys(map, 1, 50);
    EXPECT_EQ(50u, Walk(map).size());
    INT_PTR nLive = AfxLiveAllocationCount();
    EXPECT_EQ(50u, Walk(map).size());
    EXPECT_EQ(nLive, AfxLiveAllocationCount());
}

TEST_F(MapCoreTest, NestedIterationSharesTheThreadSnapshot)
{
    CMapPtrToPtrEx map;
    FillKeys(map, 1, 3);
    POSITION outer = map.GetStartPosition();
    void* key;
    void* value;
    map.GetNextAssoc(outer, key, value);
    map.SetAt(Slot(4), Slot(40));
    EXPECT_EQ(4u, Walk(map).size()) << "the inner start refills the shared arrays";
    int nOuterRest = 0;
    while (outer != nullptr)
    {
        map.GetNextAssoc(outer, key, value);
        ++nOuterRest;
    }
    EXPECT_EQ(3, nOuterRest) << "the outer loop goes on over the refilled snapshot";
}

TEST_F(MapCoreTest, BadPositionsAreRejected)
{
    CMapPtrToPtrEx map;
    void* key;
    void* value;
    POSITION pos = reinterpret_cast<POSITION>(1);
    EXPECT_THROW(map.GetNextAssoc(pos, key, value), CInvalidArgException) << "no state";
    FillKeys(map, 1, 2);
    for (UINT_PTR n : {UINT_PTR(0), UINT_PTR(0xFFFFFFFF), UINT_PTR(0x80000000)})
    {
        pos = reinterpret_cast<POSITION>(n);
        EXPECT_THROW(map.GetNextAssoc(pos, key, value), CInvalidArgException) << n;
    }
    pos = reinterpret_cast<POSITION>(1);
    EXPECT_THROW(map.GetNextAssoc(pos, key, value), CInvalidArgException)
        << "this thread has no snapshot";

    ASSERT_NE(nullptr, map.GetStartPosition());
    pos = reinterpret_cast<POSITION>(UINT_PTR(9));
    map.GetNextAssoc(pos, key, value);
    EXPECT_EQ(nullptr, pos);
    EXPECT_EQ(nullptr, key);
    EXPECT_EQ(nullptr, value);
}

TEST_F(MapCoreTest, ThreadWithoutSnapshotCannotContinueAnother)
{
    CMapPtrToPtrEx map;
    FillKeys(map, 1, 3);
    POSITION pos = map.GetStartPosition();
    BOOL bThrew = FALSE;
    size_t nOwnWalk = 0;
    std::thread other(
        [&]()
        {
            void* key;
            void* value;
            POSITION borrowed = pos;
            try
            {
                map.GetNextAssoc(borrowed, key, value);
            }
            catch (CInvalidArgException&)
            {
                bThrew = TRUE;
            }
            nOwnWalk = Walk(map).size();
        });
    other.join();
    EXPECT_TRUE(bThrew);
    EXPECT_EQ(3u, nOwnWalk) << "its own iteration works";
}

TEST_F(MapCoreTest, ExportIteratesThisModulesMapsAndNeverThrows)
{
    CMapPtrToPtrEx map;
    EXPECT_EQ(nullptr, CMapPtrToPtrEx_GetStartPosition(nullptr));
    EXPECT_EQ(nullptr, CMapPtrToPtrEx_GetStartPosition(&map));
    FillKeys(map, 1, 3);
    POSITION pos = CMapPtrToPtrEx_GetStartPosition(&map);
    int nSeen = 0;
    while (pos != nullptr)
    {
        void* key;
        void* value;
        map.GetNextAssoc(pos, key, value);
        ++nSeen;
    }
    EXPECT_EQ(3, nSeen);

    CMapPtrToPtrEx other;
    FillKeys(other, 1, 3);
    AfxFailAllocationAfter(0); // the new snapshot of `other`
    pos = CMapPtrToPtrEx_GetStartPosition(&other);
    EXPECT_EQ(MAP_POSITION_FAILED, pos);
    void* key;
    void* value;
    EXPECT_THROW(other.GetNextAssoc(pos, key, value), CInvalidArgException);
    EXPECT_EQ(3u, Walk(other).size());
}

TEST_F(MapCoreTest, AllocationFailuresReleaseTheLock)
{
    CMapPtrToPtrEx map;
    FillKeys(map, 1, 8);
    AfxFailAllocationAfter(0); // the growth's bucket array
    EXPECT_THROW(map.SetAt(Slot(9), Slot(90)), CMemoryException);
    EXPECT_EQ(8, map.GetCount());
    EXPECT_EQ(17u, map.GetHashTableSize());
    map.SetAt(Slot(9), Slot(90));
    EXPECT_EQ(53u, map.GetHashTableSize());

    EXPECT_EQ(9u, Walk(map).size());
    map.SetAt(Slot(10), Slot(100));
    AfxFailAllocationAfter(0); // the refill's key array
    EXPECT_THROW(map.GetStartPosition(), CMemoryException);
    EXPECT_EQ(10u, Walk(map).size());

    CRecordingMap owning;
    owning.SetOwnership(FALSE, TRUE);
    owning.SetAt(Slot(1), NewBlock());
    AfxFailAllocationAfter(0); // RemoveAll's table of owned pointers
    EXPECT_THROW(owning.RemoveAll(), CMemoryException);
    EXPECT_EQ(1, owning.GetCount()) << "nothing freed, nothing lost";
}
} // namespace
