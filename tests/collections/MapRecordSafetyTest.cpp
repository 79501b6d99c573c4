// Records of the object-holding map forms that would have a load leak an
// object it read, or destroy one that something else loaded from the same
// archive still refers to.
#include "MapStringToObEx.h"
#include "MapTestSupport.h"
#include "ObjectMaps.h"

#include <memory>

namespace
{
class MapRecordSafetyTest : public CMapTest
{
};

CByteVector Header(int nDeleteKeys, int nDeleteValues, int nCount)
{
    return Bytes().U16(2).U32(0).U32(nDeleteKeys).U32(nDeleteValues).U32(17).U32(nCount);
}

// A new CMapProbe; the first one in an archive also announces the class.
CByteVector Probe(DWORD nId, BOOL bFirst)
{
    Bytes bytes;
    if (bFirst)
        bytes.U16(0xFFFF).U16(1).U16(9).Raw("CMapProbe");
    else
        bytes.U16(0x8001);
    return bytes.U32(nId);
}

// A new CMapPtrToOb (class 1, object 2 when it comes first), its record to
// follow.
CByteVector NewMap()
{
    return Bytes().U16(0xFFFF).U16(1).U16(11).Raw("CMapPtrToOb");
}

// A new owning CMapStringToObEx (class 1, object 2) with one entry, whose
// key and object are to follow.
CByteVector NewStringMap()
{
    return Bytes().U16(0xFFFF).U16(1).U16(16).Raw("CMapStringToObEx").U16(1).U32(1).U32(17).U32(1);
}

CByteVector Join(std::initializer_list<CByteVector> parts)
{
    CByteVector bytes;
    for (const CByteVector& part : parts)
        bytes = Concat(bytes, part);
    return bytes;
}

// A CTestBag (object 4 after the probe's class 1, probe 2 and the bag's
// class 3) with no items whose alias refers back to the probe.
CByteVector BagReferringToProbe()
{
    return Bytes()
        .U16(0xFFFF)
        .U16(2)
        .U16(8)
        .Raw("CTestBag")
        .U8(0)   // title
        .U16(0)  // item count
        .U16(2)  // alias: the probe
        .U16(0)  // string map
        .U16(0); // array
}

TEST_F(MapRecordSafetyTest, FailedEntriesAndDestroyingReplacementsAreRefused)
{
    struct
    {
        const char* m_pszCase;
        const CRuntimeClass* m_pClass;
        CByteVector m_bytes;
        int m_nCause;
        INT_PTR m_nEntries;
    } const aCases[] = {
        // The key object exists when the value runs out: it must go with
        // the failed entry, owned or not.
        {"owning map, value cut off", RUNTIME_CLASS(CMapObToDWord),
         Join({Header(-1, 0, 1), Probe(1, TRUE), Bytes().U16(0)}), CArchiveException::endOfFile, 0},
        {"non-owning map, value cut off", RUNTIME_CLASS(CMapObToPtr),
         Join({Header(0, 0, 1), Probe(1, TRUE)}), CArchiveException::endOfFile, 0},
        {"key and value map, value object cut off", RUNTIME_CLASS(CMapObToOb),
         Join({Header(-1, -1, 1), Probe(1, TRUE), Bytes().U16(0x8001).U16(7)}),
         CArchiveException::endOfFile, 0},
        // Key 1's first probe dies when the second replaces it; a reference
        // back to it afterwards must not hand out the dead object.
        {"reference to a replaced object", RUNTIME_CLASS(CMapPtrToOb),
         Join({Header(0, -1, 3), Bytes().U32(1), Probe(1, TRUE), Bytes().U32(1), Probe(2, FALSE),
               Bytes().U32(2).U16(2)}),
         CArchiveException::badIndex, 1},
        // The bag took a reference to the probe; replacing the probe would
        // destroy it under the bag.
        {"replacing an object something refers to", RUNTIME_CLASS(CMapPtrToOb),
         Join({Header(0, -1, 3), Bytes().U32(1), Probe(1, TRUE), Bytes().U32(2),
               BagReferringToProbe(), Bytes().U32(1).U16(0)}),
         CArchiveException::genericException, 2},
        // The inner map owns the probe; the outer map, which owns the inner
        // one, may not own the probe as well.
        {"object owned by two maps", RUNTIME_CLASS(CMapPtrToOb),
         Join({Header(0, -1, 2), Bytes().U32(1), NewMap(), Header(0, -1, 1), Bytes().U32(1),
               Probe(1, TRUE), Bytes().U32(2).U16(4)}),
         CArchiveException::badIndex, 1},
        {"object owned by a string map and a map", RUNTIME_CLASS(CMapPtrToOb),
         Join({Header(0, -1, 2), Bytes().U32(1), NewStringMap(), Bytes().U8(1).Raw("x"),
               Probe(1, TRUE), Bytes().U32(2).U16(4)}),
         CArchiveException::badIndex, 1},
        // Map 2 owns map 3, which would own map 2 back.
        {"maps owning each other", RUNTIME_CLASS(CMapPtrToOb),
         Join({Header(0, -1, 1), Bytes().U32(1), NewMap(), Header(0, -1, 1), Bytes().U32(1),
               Bytes().U16(0x8001), Header(0, -1, 1), Bytes().U32(1).U16(2)}),
         CArchiveException::badIndex, 0},
    };
    for (const auto& c : aCases)
    {
        SCOPED_TRACE(c.m_pszCase);
        std::unique_ptr<CMapPtrToPtrEx> pMap(
            static_cast<CMapPtrToPtrEx*>(c.m_pClass->CreateObject()));
        {
            CLoader loader(c.m_bytes);
            EXPECT_EQ(c.m_nCause, ArchiveCauseOf([&] { pMap->Serialize(loader.Ar()); }));
        }
        EXPECT_EQ(c.m_nEntries, pMap->GetCount());
        // What the map holds is alive: storing it touches every object.
        StoreBytes([&](CArchive& ar) { pMap->Serialize(ar); });
        pMap.reset();
        EXPECT_EQ(0, CMapProbe::s_nLive) << "every map here owns what it kept";
    }
}

TEST_F(MapRecordSafetyTest, ReplacedObjectNobodyReferredToStillDies)
{
    CMapPtrToOb map;
    CLoader loader(
        Join({Header(0, -1, 2), Bytes().U32(1), Probe(1, TRUE), Bytes().U32(1), Probe(2, FALSE)}));
    map.Serialize(loader.Ar());
    EXPECT_EQ(1, map.GetCount());
    EXPECT_EQ(1, CMapProbe::s_nLive);
}

// Objects that refer to each other reach the record nested in one another,
// so an owning string map meets some of its own objects as references back.
TEST_F(MapRecordSafetyTest, OwningStringMapReadsBackObjectsThatReferToEachOther)
{
    CMapStringToObEx map;
    map.m_bDeleteValues = TRUE;
    CTestItem* pItem = new CTestItem("item", 1);
    CTestBag* pBag = new CTestBag;
    pBag->m_pAlias = pItem;
    map.SetAt("a", pBag); // stored first: bucket 12 of 17, "b" is in 13
    map.SetAt("b", pItem);
    CByteVector bytes = StoreBytes([&](CArchive& ar) { map.Serialize(ar); });

    CMapStringToObEx copy;
    CLoader loader(bytes);
    copy.Serialize(loader.Ar());
    CObject* pBagCopy = nullptr;
    CObject* pItemCopy = nullptr;
    ASSERT_TRUE(copy.Lookup("a", pBagCopy));
    ASSERT_TRUE(copy.Lookup("b", pItemCopy));
    EXPECT_EQ(pItemCopy, static_cast<CTestBag*>(pBagCopy)->m_pAlias);
}
} // namespace
