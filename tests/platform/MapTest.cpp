// One conformance suite for the six platform maps, then what only the
// string-keyed maps promise: hash, order, key comparison and the record.
#include "TestSupport.h"

#include <algorithm>
#include <set>
#include <string>

namespace
{

CString KeyString(int i)
{
    CString str;
    str.Format("key%d", i);
    return str;
}

template <class MAP>
struct MapTraits;

template <>
struct MapTraits<CMapPtrToPtr>
{
    typedef void* Key;
    typedef void* Value;
    static Key MakeKey(int i)
    {
        return reinterpret_cast<void*>(static_cast<UINT_PTR>(16 + 16 * i));
    }
    static Value MakeValue(int i) { return reinterpret_cast<void*>(static_cast<UINT_PTR>(i + 1)); }
};

template <>
struct MapTraits<CMapPtrToWord>
{
    typedef void* Key;
    typedef WORD Value;
    static Key MakeKey(int i) { return reinterpret_cast<void*>(static_cast<UINT_PTR>(i + 1)); }
    static Value MakeValue(int i) { return static_cast<WORD>(i + 1); }
};

// Object values are never dereferenced by the maps; fake addresses do.
CObject* FakeObject(int i)
{
    return reinterpret_cast<CObject*>(static_cast<UINT_PTR>(8 * (i + 1)));
}

template <>
struct MapTraits<CMapWordToOb>
{
    typedef WORD Key;
    typedef CObject* Value;
    static Key MakeKey(int i) { return static_cast<WORD>(i * 3); }
    static Value MakeValue(int i) { return FakeObject(i); }
};

template <>
struct MapTraits<CMapStringToPtr>
{
    typedef CString Key;
    typedef void* Value;
    static Key MakeKey(int i) { return KeyString(i); }
    static Value MakeValue(int i) { return reinterpret_cast<void*>(static_cast<UINT_PTR>(i + 1)); }
};

template <>
struct MapTraits<CMapStringToOb>
{
    typedef CString Key;
    typedef CObject* Value;
    static Key MakeKey(int i) { return KeyString(i); }
    static Value MakeValue(int i) { return FakeObject(i); }
};

template <>
struct MapTraits<CMapStringToString>
{
    typedef CString Key;
    typedef CString Value;
    static Key MakeKey(int i) { return KeyString(i); }
    static Value MakeValue(int i) { return KeyString(i * 7) + "-value"; }
};

template <class MAP>
class MapConformance : public CPlatformTest
{
protected:
    typedef MapTraits<MAP> Traits;
    typedef typename Traits::Key Key;
    typedef typename Traits::Value Value;

    static void Fill(MAP& map, int nFirst, int nCount)
    {
        for (int i = nFirst; i < nFirst + nCount; ++i)
            map.SetAt(Traits::MakeKey(i), Traits::MakeValue(i));
    }

    // Walks the map, checking each entry against its key's expected value.
    static INT_PTR CheckedWalk(const MAP& map)
    {
        INT_PTR nVisited = 0;
        for (POSITION pos = map.GetStartPosition(); pos != nullptr; ++nVisited)
        {
            Key key;
            Value value;
            map.GetNextAssoc(pos, key, value);
            Value found;
            EXPECT_TRUE(map.Lookup(key, found));
            EXPECT_TRUE(found == value);
        }
        return nVisited;
    }
};

typedef ::testing::Types<CMapPtrToPtr, CMapPtrToWord, CMapWordToOb, CMapStringToPtr, CMapStringToOb,
                         CMapStringToString>
    MapTypes;
TYPED_TEST_SUITE(MapConformance, MapTypes);

TYPED_TEST(MapConformance, NewMapIsEmptyWith17BucketsAndAllocatesNothing)
{
    INT_PTR nLive = AfxLiveAllocationCount();
    TypeParam map;
    EXPECT_EQ(nLive, AfxLiveAllocationCount());
    EXPECT_EQ(0, map.GetCount());
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(17u, map.GetHashTableSize());
    EXPECT_EQ(nullptr, map.GetStartPosition());
    typename TestFixture::Value value;
    EXPECT_FALSE(map.Lookup(TestFixture::Traits::MakeKey(1), value));
    EXPECT_FALSE(map.RemoveKey(TestFixture::Traits::MakeKey(1)));
}

TYPED_TEST(MapConformance, InsertLookupOverwriteAndRemove)
{
    typedef typename TestFixture::Traits Traits;
    TypeParam map;
    TestFixture::Fill(map, 0, 100);
    EXPECT_EQ(100, map.GetCount());
    EXPECT_EQ(100, map.GetSize());
    for (int i = 0; i < 100; ++i)
    {
        typename TestFixture::Value value;
        ASSERT_TRUE(map.Lookup(Traits::MakeKey(i), value));
        EXPECT_TRUE(value == Traits::MakeValue(i));
    }

    map[Traits::MakeKey(5)] = Traits::MakeValue(500);
    typename TestFixture::Value value;
    EXPECT_TRUE(map.Lookup(Traits::MakeKey(5), value) && value == Traits::MakeValue(500));
    EXPECT_TRUE(map[Traits::MakeKey(1000)] == typename TestFixture::Value());
    EXPECT_EQ(101, map.GetCount());

    EXPECT_TRUE(map.RemoveKey(Traits::MakeKey(5)));
    EXPECT_FALSE(map.RemoveKey(Traits::MakeKey(5)));
    EXPECT_FALSE(map.Lookup(Traits::MakeKey(5), value));
    EXPECT_EQ(100, map.GetCount());
    EXPECT_EQ(100, TestFixture::CheckedWalk(map));
}

TYPED_TEST(MapConformance, IterationVisitsEveryEntryOnce)
{
    typedef typename TestFixture::Traits Traits;
    TypeParam map;
    TestFixture::Fill(map, 0, 60);
    for (int i = 0; i < 60; i += 3)
        map.RemoveKey(Traits::MakeKey(i));
    std::set<typename TestFixture::Key> seen;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        typename TestFixture::Key key;
        typename TestFixture::Value value;
        map.GetNextAssoc(pos, key, value);
        EXPECT_TRUE(seen.insert(key).second);
    }
    EXPECT_EQ(40u, seen.size());

    POSITION pos = nullptr;
    typename TestFixture::Key key;
    typename TestFixture::Value value;
    EXPECT_THROW(map.GetNextAssoc(pos, key, value), CInvalidArgException);
}

TYPED_TEST(MapConformance, EmptyingFreesEverythingButKeepsTheBucketCount)
{
    typedef typename TestFixture::Traits Traits;
    TypeParam map;
    map.InitHashTable(31);
    INT_PTR nLive = AfxLiveAllocationCount();
    TestFixture::Fill(map, 0, 25);
    map.RemoveAll();
    EXPECT_EQ(0, map.GetCount());
    EXPECT_EQ(31u, map.GetHashTableSize());
    EXPECT_EQ(nLive - 1, AfxLiveAllocationCount()) << "bucket array kept";

    TestFixture::Fill(map, 0, 25);
    for (int i = 0; i < 25; ++i)
        EXPECT_TRUE(map.RemoveKey(Traits::MakeKey(i)));
    EXPECT_EQ(31u, map.GetHashTableSize());
    EXPECT_EQ(nLive - 1, AfxLiveAllocationCount());
    TestFixture::Fill(map, 0, 3);
    EXPECT_EQ(3, TestFixture::CheckedWalk(map));
}

TYPED_TEST(MapConformance, InitHashTableRehashesExistingEntries)
{
    TypeParam map;
    TestFixture::Fill(map, 0, 40);
    map.InitHashTable(101, FALSE);
    EXPECT_EQ(101u, map.GetHashTableSize());
    EXPECT_EQ(40, TestFixture::CheckedWalk(map));

    EXPECT_THROW(map.InitHashTable(0), CInvalidArgException);
    EXPECT_EQ(101u, map.GetHashTableSize());
    EXPECT_EQ(40, TestFixture::CheckedWalk(map));
}

TYPED_TEST(MapConformance, FailedAllocationLeavesTheMapConsistent)
{
    typedef typename TestFixture::Traits Traits;
    for (int k = 0;; ++k)
    {
        SCOPED_TRACE(k);
        ASSERT_LT(k, 200);
        TypeParam map;
        TestFixture::Fill(map, 0, 15);
        BOOL bFailed = FALSE;
        AfxFailAllocationAfter(k);
        try
        {
            TestFixture::Fill(map, 15, 30);
        }
        catch (CMemoryException&)
        {
            bFailed = TRUE;
        }
        AfxFailAllocationAfter(-1);
        INT_PTR nPresent = 0;
        for (int i = 0; i < 45; ++i)
        {
            typename TestFixture::Value value;
            nPresent += map.Lookup(Traits::MakeKey(i), value) ? 1 : 0;
        }
        EXPECT_EQ(map.GetCount(), nPresent);
        EXPECT_EQ(map.GetCount(), TestFixture::CheckedWalk(map));
        if (!bFailed)
            break;
    }
}

// Exposes the block size that subclasses may set when loading.
class CBlockSizedMap : public CMapPtrToPtr
{
public:
    using CMapPtrToPtr::GetBlockSize;
    using CMapPtrToPtr::SetBlockSize;
};

class PtrMapBlocks : public CPlatformTest
{
};

TEST_F(PtrMapBlocks, EntriesComeFromBlocksAndFreedSlotsAreReused)
{
    CBlockSizedMap map;
    EXPECT_EQ(10, map.GetBlockSize());
    INT_PTR nLive = AfxLiveAllocationCount();
    for (int i = 1; i <= 10; ++i)
        map[reinterpret_cast<void*>(static_cast<UINT_PTR>(i))] = nullptr;
    EXPECT_EQ(nLive + 2, AfxLiveAllocationCount()) << "bucket array and one block";
    map.RemoveKey(reinterpret_cast<void*>(1));
    map[reinterpret_cast<void*>(11)] = nullptr;
    EXPECT_EQ(nLive + 2, AfxLiveAllocationCount()) << "freed slot reused";
    map[reinterpret_cast<void*>(12)] = nullptr;
    EXPECT_EQ(nLive + 3, AfxLiveAllocationCount()) << "second block";

    map.SetBlockSize(1);
    map[reinterpret_cast<void*>(13)] = nullptr; // the second block had room
    map[reinterpret_cast<void*>(14)] = nullptr;
    map[reinterpret_cast<void*>(15)] = nullptr;
    EXPECT_EQ(nLive + 3, AfxLiveAllocationCount());
    map.RemoveAll();
    for (int i = 1; i <= 3; ++i)
        map[reinterpret_cast<void*>(static_cast<UINT_PTR>(i))] = nullptr;
    EXPECT_EQ(nLive + 4, AfxLiveAllocationCount()) << "bucket array and three one-entry blocks";
    EXPECT_THROW(map.SetBlockSize(0), CInvalidArgException);
}

UINT SignedByteHash(const std::string& strKey)
{
    uint32_t h = 0;
    for (char ch : strKey)
        h = h * 33u + static_cast<uint32_t>(static_cast<int>(static_cast<signed char>(ch)));
    return h;
}

UINT UnsignedByteHash(const std::string& strKey)
{
    uint32_t h = 0;
    for (char ch : strKey)
        h = h * 33u + static_cast<unsigned char>(ch);
    return h;
}

// Buckets ascending, newest first within a bucket.
std::vector<std::string> ExpectedOrder(const std::vector<std::string>& keys, UINT nBuckets,
                                       UINT (*pfnHash)(const std::string&))
{
    std::vector<size_t> order(keys.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b)
                     {
                         UINT nA = pfnHash(keys[a]) % nBuckets, nB = pfnHash(keys[b]) % nBuckets;
                         return nA != nB ? nA < nB : a > b;
                     });
    std::vector<std::string> result;
    for (size_t i : order)
        result.push_back(keys[i]);
    return result;
}

std::vector<std::string> IterationOrder(const CMapStringToPtr& map)
{
    std::vector<std::string> result;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        CString strKey;
        void* pValue;
        map.GetNextAssoc(pos, strKey, pValue);
        result.emplace_back(static_cast<LPCSTR>(strKey), strKey.GetLength());
    }
    return result;
}

class StringMap : public CPlatformTest
{
};

TEST_F(StringMap, IterationOrderFollowsTheSignedByteHash)
{
    const std::vector<std::string> keys = {"z\xFF",
                                           "a",
                                           "r",
                                           "\xE4\xF6\xFC",
                                           "key1",
                                           "key2",
                                           "\x80\x81",
                                           "Zz",
                                           "zz",
                                           "",
                                           "longer key with \xA9 sign",
                                           "r2",
                                           "\x7F"};
    for (UINT nBuckets : {17u, 7u, 101u})
    {
        SCOPED_TRACE(nBuckets);
        CMapStringToPtr map;
        map.InitHashTable(nBuckets);
        for (const std::string& strKey : keys)
            map[CString(strKey.data(), static_cast<int>(strKey.size()))] = nullptr;
        EXPECT_EQ(ExpectedOrder(keys, nBuckets, SignedByteHash), IterationOrder(map));
        EXPECT_NE(ExpectedOrder(keys, nBuckets, UnsignedByteHash), IterationOrder(map));
    }
    EXPECT_EQ(13u, SignedByteHash("z\xFF") % 17); // 14 if bytes were unsigned
}

TEST_F(StringMap, CollidingKeysIterateNewestFirst)
{
    // "a" (97) and "r" (114) share bucket 12 of 17.
    CMapStringToPtr map;
    map["a"] = nullptr;
    map["r"] = nullptr;
    EXPECT_EQ((std::vector<std::string>{"r", "a"}), IterationOrder(map));
    map.RemoveKey("r");
    map["r"] = nullptr;
    map["a"] = reinterpret_cast<void*>(1); // an update does not move the entry
    EXPECT_EQ((std::vector<std::string>{"r", "a"}), IterationOrder(map));
    map.RemoveKey("r");
    map.RemoveKey("a");
    map["a"] = nullptr;
    EXPECT_EQ((std::vector<std::string>{"a"}), IterationOrder(map));
}

TEST_F(StringMap, KeysAreCaseSensitiveAndLengthAware)
{
    CMapStringToString map;
    const CString aKeys[] = {
        "Key", "key", "KEY", CString("a\0b", 3), CString("a\0c", 3), "a", CString("a\0", 2)};
    for (int i = 0; i < 7; ++i)
        map[aKeys[i]] = KeyString(i);
    EXPECT_EQ(7, map.GetCount());
    for (int i = 0; i < 7; ++i)
    {
        CString strValue;
        EXPECT_TRUE(map.Lookup(aKeys[i], strValue));
        EXPECT_TRUE(strValue == KeyString(i)) << i;
    }
    CString strValue;
    EXPECT_FALSE(map.Lookup("kEY", strValue));
}

TEST_F(StringMap, StringToStringRecordAndMergingLoad)
{
    CMapStringToString map;
    map["a"] = "1";
    map["r"] = "22";
    map["ab"] = "x"; // bucket 1, before bucket 12
    const CByteVector expected = Bytes()
                                     .U16(3)
                                     .U8(2)
                                     .Raw("ab")
                                     .U8(1)
                                     .Raw("x")
                                     .U8(1)
                                     .Raw("r")
                                     .U8(2)
                                     .Raw("22")
                                     .U8(1)
                                     .Raw("a")
                                     .U8(1)
                                     .Raw("1");
    EXPECT_EQ(expected, StoreBytes([&](CArchive& ar) { map.Serialize(ar); }));

    CMapStringToString loaded;
    loaded["a"] = "old";
    loaded["keep"] = "kept";
    CLoader loader(expected);
    loaded.Serialize(loader.Ar());
    EXPECT_EQ(4, loaded.GetCount());
    CString strValue;
    EXPECT_TRUE(loaded.Lookup("a", strValue) && strValue == "1");
    EXPECT_TRUE(loaded.Lookup("r", strValue) && strValue == "22");
    EXPECT_TRUE(loaded.Lookup("keep", strValue) && strValue == "kept");

    CMapStringToString empty;
    EXPECT_EQ(Bytes().U16(0).Get(), StoreBytes([&](CArchive& ar) { empty.Serialize(ar); }));
}

TEST_F(StringMap, ShortRecordRaisesEndOfFileKeepingWhatWasRead)
{
    CMapStringToString map;
    CLoader loader(Bytes().U16(2).U8(1).Raw("a").U8(1).Raw("1").U8(1).Raw("b"));
    EXPECT_EQ(CArchiveException::endOfFile, ArchiveCauseOf([&] { map.Serialize(loader.Ar()); }));
    EXPECT_EQ(1, map.GetCount());
}

} // namespace
