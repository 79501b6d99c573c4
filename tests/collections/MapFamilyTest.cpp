#include "MapTestSupport.h"
#include "ObjectMaps.h"
#include "ScalarMaps.h"

#include <algorithm>
#include <memory>
#include <string>

namespace
{
class MapFamilyTest : public CMapTest
{
};

CByteVector Header(int nDeleteKeys, int nDeleteValues, DWORD nBuckets, int nCount)
{
    return Bytes().U16(2).U32(0).U32(nDeleteKeys).U32(nDeleteValues).U32(nBuckets).U32(nCount);
}

CByteVector NewProbe(DWORD nId)
{
    return Bytes().U16(0xFFFF).U16(1).U16(9).Raw("CMapProbe").U32(nId);
}

CByteVector Store(CObject& map)
{
    return StoreBytes([&](CArchive& ar) { map.Serialize(ar); });
}

void Load(CObject& map, const CByteVector& bytes)
{
    CLoader loader(bytes);
    map.Serialize(loader.Ar());
}

std::unique_ptr<CMapPtrToPtrEx> Create(LPCSTR pszClass)
{
    return std::unique_ptr<CMapPtrToPtrEx>(
        static_cast<CMapPtrToPtrEx*>(CRuntimeClass::CreateObject(pszClass)));
}

struct CClassCase
{
    LPCSTR m_pszName;
    LPCSTR m_pszBase;
};

const CClassCase g_aFamily[] = {
    {"CMapPtrToPtrEx", "CObject"},
    {"CMapPtrToBool", "CMapPtrToPtrEx"},
    {"CMapPtr", "CMapPtrToBool"},
    {"CMapPtrToDWord", "CMapPtrToPtrEx"},
    {"CMapPtrToPoint", "CMapPtrToDWord"},
    {"CMapPtrToSize", "CMapPtrToDWord"},
    {"CMapPtrToRect", "CMapPtrToPtrEx"},
    {"CMapPtrToOb", "CMapPtrToPtrEx"},
    {"CMapDWordToOb", "CMapPtrToOb"},
    {"CMapDWordToPtr", "CMapPtrToPtrEx"},
    {"CMapPointToPtr", "CMapDWordToPtr"},
    {"CMapPointToBool", "CMapPointToPtr"},
    {"CMapPoint", "CMapPointToBool"},
    {"CMapDWordToBool", "CMapPtrToPtrEx"},
    {"CMapDWord", "CMapDWordToBool"},
    {"CMapDWordToDWord", "CMapPtrToPtrEx"},
    {"CMapDWordToWord", "CMapDWordToDWord"},
    {"CMapDWordToByte", "CMapDWordToWord"},
    {"CMapDWordToCount", "CMapDWordToDWord"},
    {"CMapDWordToSize", "CMapDWordToDWord"},
    {"CMapObToPtr", "CMapPtrToPtrEx"},
    {"CMapObToBool", "CMapObToPtr"},
    {"CMapOb", "CMapObToBool"},
    {"CMapObToDWord", "CMapObToPtr"},
    {"CMapObToCount", "CMapObToDWord"},
    {"CMapObToOb", "CMapObToPtr"},
};

BOOL HasObjectKeys(const std::string& strName)
{
    return strName.rfind("CMapOb", 0) == 0;
}

BOOL HasObjectValues(const std::string& strName)
{
    return strName == "CMapPtrToOb" || strName == "CMapDWordToOb" || strName == "CMapObToOb";
}

TEST_F(MapFamilyTest, EveryClassIsRegisteredAndStoresTheEmptyHeader)
{
    for (const CClassCase& c : g_aFamily)
    {
        SCOPED_TRACE(c.m_pszName);
        const CRuntimeClass* pClass = CRuntimeClass::FromName(c.m_pszName);
        ASSERT_NE(nullptr, pClass);
        EXPECT_EQ(1u, pClass->m_wSchema);
        EXPECT_STREQ(c.m_pszBase, pClass->m_pBaseClass->m_lpszClassName);
        EXPECT_EQ(static_cast<int>(sizeof(CMapPtrToPtrEx)), pClass->m_nObjectSize);
        std::unique_ptr<CMapPtrToPtrEx> pMap = Create(c.m_pszName);
        ASSERT_NE(nullptr, pMap);
        EXPECT_EQ(pClass, pMap->GetRuntimeClass());
        const int nDeleteValues = std::string(c.m_pszName) == "CMapPtrToRect" ? -1 : 0;
        EXPECT_EQ(nDeleteValues, pMap->m_bDeleteValues);
        EXPECT_EQ(0, pMap->m_bDeleteKeys);
        EXPECT_EQ(Header(0, nDeleteValues, 17, 0), Store(*pMap)) << "22 bytes";
        pMap->SetAt(Slot(1), nullptr);
        pMap->RemoveAll();
        EXPECT_EQ(Header(0, nDeleteValues, 17, 0), Store(*pMap)) << "with a state";
    }
}

struct CBytesCase
{
    const char* m_pszName;
    std::function<CMapPtrToPtrEx*()> m_fnMake;
    CByteVector m_bytes;
};

TEST_F(MapFamilyTest, EachFormStoresExactBytesAndReadsThemBack)
{
    const CBytesCase aCases[] = {
        {"scalar",
         []
         {
             CMapDWordToDWord* p = new CMapDWordToDWord;
             p->SetAt(DWORD(5), DWORD(0xA0B0C0D0));
             return p;
         },
         Concat(Header(0, 0, 17, 1), Bytes().U32(5).U32(0xA0B0C0D0))},
        {"object value",
         []
         {
             CMapPtrToOb* p = new CMapPtrToOb;
             p->SetOwnership(FALSE, TRUE);
             p->SetAt(Slot(3), new CMapProbe(9));
             return p;
         },
         Concat(Concat(Header(0, -1, 17, 1), Bytes().U32(3)), NewProbe(9))},
        {"object key",
         []
         {
             CMapObToDWord* p = new CMapObToDWord;
             p->SetOwnership(TRUE, FALSE);
             p->SetAt(new CMapProbe(4), Slot(6));
             return p;
         },
         Concat(Concat(Header(-1, 0, 17, 1), NewProbe(4)), Bytes().U32(6))},
        {"object key and value",
         []
         {
             CMapObToOb* p = new CMapObToOb;
             p->SetOwnership(TRUE, TRUE);
             p->SetAt(new CMapProbe(1), new CMapProbe(2));
             return p;
         },
         Concat(Concat(Header(-1, -1, 17, 1), NewProbe(1)), Bytes().U16(0x8001).U32(2))},
    };
    for (const CBytesCase& c : aCases)
    {
        SCOPED_TRACE(c.m_pszName);
        std::unique_ptr<CMapPtrToPtrEx> pMap(c.m_fnMake());
        EXPECT_EQ(c.m_bytes, Store(*pMap));
        std::unique_ptr<CMapPtrToPtrEx> pCopy = Create(pMap->GetRuntimeClass()->m_lpszClassName);
        Load(*pCopy, c.m_bytes);
        EXPECT_EQ(c.m_bytes, Store(*pCopy));
    }
}

TEST_F(MapFamilyTest, PointerSlotsKeepTheirLow32Bits)
{
    const UINT_PTR nKey = static_cast<UINT_PTR>(0x1234567890ABCDEFull);
    CMapPtrToPtrEx map;
    map.SetAt(Slot(nKey), Slot(1));
    CByteVector bytes = Store(map);
    EXPECT_EQ(Concat(Header(0, 0, 17, 1), Bytes().U32(0x90ABCDEF).U32(1)), bytes);
    CMapPtrToPtrEx copy;
    Load(copy, bytes);
    void* value;
    EXPECT_TRUE(copy.Lookup(Slot(0x90ABCDEF), value));
}

TEST_F(MapFamilyTest, LoadedMapGrowsByItsOwnRule)
{
    CByteVector bytes = Bytes().U16(2).U32(0).U32(0).U32(0).U32(9999).U32(3);
    for (DWORD n = 1; n <= 3; ++n)
        bytes = Concat(bytes, Bytes().U32(n).U32(n * 2));
    CMapDWordToDWord map;
    Load(map, bytes);
    EXPECT_EQ(3, map.GetCount());
    EXPECT_EQ(17u, map.GetHashTableSize());

    CMapDWordToDWord big;
    for (DWORD n = 0; n < 300; ++n)
        big.SetAt(n, n ^ 0x5555u);
    CMapDWordToDWord copy;
    Load(copy, Store(big));
    ASSERT_EQ(300, copy.GetCount());
    EXPECT_EQ(big.GetHashTableSize(), copy.GetHashTableSize());
    for (DWORD n = 0; n < 300; ++n)
    {
        void* value;
        ASSERT_TRUE(copy.Lookup(Slot(n), value));
        EXPECT_EQ(n ^ 0x5555u, Num(value));
    }
}

TEST_F(MapFamilyTest, HeaderVersionsAndCounts)
{
    struct CCase
    {
        const char* m_pszName;
        CByteVector m_bytes;
        int m_nDeleteKeys;
        INT_PTR m_nEntries;
        ULONGLONG m_nLeftOver;
    };
    const CByteVector record = Bytes().U32(1).U32(2);
    const CCase aCases[] = {
        {"version 1 keeps the flags", Concat(Bytes().U16(1).U32(0).U32(17).U32(1), record), -1, 1,
         0},
        {"zero count", Concat(Header(0, 0, 17, 0), record), 0, 0, 8},
        {"negative count", Concat(Header(0, 0, 17, -5), record), 0, 0, 8},
        {"flags from bit 0", Concat(Header(0x7FFFFFFE, 3, 17, 1), record), 0, 1, 0},
    };
    for (const CCase& c : aCases)
    {
        SCOPED_TRACE(c.m_pszName);
        CMapDWordToDWord map;
        map.SetOwnership(TRUE, FALSE);
        map.SetNullRemoves(TRUE);
        map.SetAt(DWORD(7), DWORD(7));
        CLoader loader(c.m_bytes);
        map.Serialize(loader.Ar());
        EXPECT_EQ(c.m_nDeleteKeys, map.m_bDeleteKeys);
        EXPECT_EQ(-1, map.m_bNullRemoves) << "never loaded";
        EXPECT_EQ(c.m_nEntries, map.GetCount()) << "the old entry went first";
        EXPECT_EQ(c.m_nLeftOver, loader.Remaining());
    }
}

TEST_F(MapFamilyTest, ShortRecordKeepsWhatWasRead)
{
    CByteVector bytes = Concat(Header(0, 0, 17, 3), Bytes().U32(1).U32(2).U32(3));
    CMapDWordToDWord map;
    EXPECT_EQ(CArchiveException::endOfFile, ArchiveCauseOf([&] { Load(map, bytes); }));
    EXPECT_EQ(1, map.GetCount());
    EXPECT_EQ(CArchiveException::endOfFile,
              ArchiveCauseOf([&] { Load(map, Bytes().U16(2).U32(0).U32(-1)); }));
    EXPECT_EQ(-1, map.m_bDeleteKeys) << "flags read before the end stay";
}

// Numbers read from an archive must never reach a free, whatever the flags
// say; the flags themselves come back out as they went in.
TEST_F(MapFamilyTest, ArchiveNumbersAreNeverFreedUnderAnyFlags)
{
    for (const CClassCase& c : g_aFamily)
    {
        SCOPED_TRACE(c.m_pszName);
        const BOOL bObjectKeys = HasObjectKeys(c.m_pszName);
        const BOOL bObjectValues = HasObjectValues(c.m_pszName);
        // The source owns only what is real; the stored flags then claim
        // ownership of everything.
        std::unique_ptr<CMapPtrToPtrEx> pSource = Create(c.m_pszName);
        pSource->SetOwnership(bObjectKeys, bObjectValues);
        DWORD nProbe = 1;
        for (DWORD nKey : {0x10u, 0x20u, 0xDEADBEEFu})
        {
            void* key = bObjectKeys ? static_cast<void*>(new CMapProbe(nKey)) : Slot(nKey);
            void* value =
                bObjectValues ? static_cast<void*>(new CMapProbe(nProbe++)) : Slot(0x1000 + nKey);
            pSource->SetAt(key, value);
        }
        CByteVector bytes = Store(*pSource);
        pSource.reset();
        std::fill(bytes.begin() + 6, bytes.begin() + 14, BYTE(0xFF));

        std::unique_ptr<CMapPtrToPtrEx> pMap = Create(c.m_pszName);
        Load(*pMap, bytes);
        EXPECT_EQ(3, pMap->GetCount());
        // Records come back in the table's order, which loading may change.
        CByteVector again = Store(*pMap);
        EXPECT_EQ(CByteVector(bytes.begin(), bytes.begin() + 22),
                  CByteVector(again.begin(), again.begin() + 22))
            << "the flags round-trip";
        EXPECT_EQ(bytes.size(), again.size());
        auto entries = Walk(*pMap);
        pMap->RemoveKey(entries[0].first);
        pMap->SetAt(entries[1].first, bObjectValues ? nullptr : Slot(0x77));
        Load(*pMap, bytes);
        pMap->RemoveAll();
        Load(*pMap, bytes);
    }
}

TEST_F(MapFamilyTest, InMemoryOwnershipFreesByKind)
{
    CMapPtrToRect rects;
    rects.SetAt(Slot(1), ::operator new(16));
    rects.SetAt(Slot(1), ::operator new(16));
    rects.SetAt(Slot(2), ::operator new(16));
    EXPECT_TRUE(rects.RemoveKey(Slot(2)));

    CMapPtrToPtrEx plain;
    plain.SetOwnership(TRUE, TRUE);
    plain.SetAt(::operator new(4), ::operator new(4));

    CMapDWordToOb numbers; // DWORD keys are never freed
    numbers.SetOwnership(TRUE, TRUE);
    numbers.SetAt(Slot(5), new CMapProbe(5));
    numbers.SetAt(Slot(6), new CMapProbe(6));
    EXPECT_TRUE(numbers.RemoveKey(Slot(5)));
    EXPECT_EQ(1, CMapProbe::s_nLive);

    CMapDWordToCount counts; // numbers on both sides
    counts.SetOwnership(TRUE, TRUE);
    CMapDWordToDWord& base = counts;
    base.SetAt(DWORD(5), DWORD(6));
    base.SetAt(DWORD(5), DWORD(7));
    void* value;
    EXPECT_TRUE(counts.Lookup(Slot(5), value));
    EXPECT_EQ(7u, Num(value));
    EXPECT_TRUE(base.RemoveKey(DWORD(5)));
    EXPECT_FALSE(base.RemoveKey(DWORD(5)));
}

TEST_F(MapFamilyTest, SharedObjectsFromBackReferencesDieOnce)
{
    // 1 -> new P7, 2 -> P7 again, 1 -> new P8 (P7 stays: key 2 holds it),
    // 3 -> P8, 3 -> P8 once more (one entry).
    CByteVector bytes = Concat(Concat(Header(0, -1, 17, 5), Bytes().U32(1)), NewProbe(7));
    bytes = Concat(bytes, Bytes().U32(2).U16(2));
    bytes = Concat(bytes, Bytes().U32(1).U16(0x8001).U32(8));
    bytes = Concat(bytes, Bytes().U32(3).U16(3).U32(3).U16(3));
    CMapPtrToOb map;
    Load(map, bytes);
    ASSERT_EQ(3, map.GetCount());
    EXPECT_EQ(2, CMapProbe::s_nLive);
    void* p8;
    ASSERT_TRUE(map.Lookup(Slot(1), p8));
    EXPECT_EQ(8u, static_cast<CMapProbe*>(p8)->m_nId);
    EXPECT_TRUE(map.RemoveKey(Slot(1)));
    EXPECT_EQ(2, CMapProbe::s_nLive) << "key 3 still holds P8";
    map.RemoveAll();
    EXPECT_EQ(0, CMapProbe::s_nLive);

    // A key replaced by a new object: the old one dies when owned.
    CByteVector replaced = Concat(Concat(Header(0, -1, 17, 2), Bytes().U32(1)), NewProbe(1));
    replaced = Concat(replaced, Bytes().U32(1).U16(0x8001).U32(2));
    Load(map, replaced);
    EXPECT_EQ(1, CMapProbe::s_nLive);
}

TEST_F(MapFamilyTest, ObjectThatIsKeyAndValueDiesOnce)
{
    // P1 -> P2 and P2 -> P1, both owned as keys and as values.
    CByteVector bytes = Concat(Concat(Header(-1, -1, 17, 2), NewProbe(1)),
                               Bytes().U16(0x8001).U32(2).U16(3).U16(2));
    CMapObToOb map;
    Load(map, bytes);
    EXPECT_EQ(2, map.GetCount());
    EXPECT_EQ(2, CMapProbe::s_nLive);
    Load(map, bytes);
    EXPECT_EQ(2, CMapProbe::s_nLive) << "loading destroyed the old pair once each";
    auto entries = Walk(map);
    EXPECT_TRUE(map.RemoveKey(entries[0].first));
    EXPECT_EQ(2, CMapProbe::s_nLive) << "the removed key is still the other's value";
}

TEST_F(MapFamilyTest, OwningMapThatHoldsItselfIsRefused)
{
    // The map by reference (class 1, object 2) whose one value is object 2.
    CByteVector bytes = Bytes().U16(0xFFFF).U16(1).U16(11).Raw("CMapPtrToOb");
    bytes = Concat(Concat(bytes, Header(0, -1, 17, 1)), Bytes().U32(1).U16(2));
    CLoader loader(bytes);
    EXPECT_EQ(CArchiveException::badIndex,
              ArchiveCauseOf([&] { delete loader.Ar().ReadObject(nullptr); }));
}
} // namespace
