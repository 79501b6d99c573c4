// CMapStringToObEx: ownership of objects, the record with object
// references, and what an owning record may not contain.
#include "MapStringToObEx.h"

#include "RecordTestSupport.h"

#include <set>
#include <string>

// Counts live instances, so a test sees exactly which objects were deleted.
class CCountedItem : public CTestItem
{
    DECLARE_SERIAL(CCountedItem)
public:
    CCountedItem() { ++s_nLive; }
    explicit CCountedItem(DWORD nValue) : CTestItem("item", nValue) { ++s_nLive; }
    ~CCountedItem() override { --s_nLive; }

    static int s_nLive;
};

IMPLEMENT_SERIAL(CCountedItem, CTestItem, 1)
int CCountedItem::s_nLive = 0;

namespace
{

Bytes ObHeader(unsigned long nOwning, unsigned long nHashSize, unsigned long nEntries)
{
    Bytes bytes;
    bytes.U16(1).U32(nOwning).U32(nHashSize).U32(nEntries);
    return bytes;
}

// A new CCountedItem: the class announced in full, then its record.
Bytes& NewCountedItem(Bytes& bytes, DWORD nValue)
{
    const std::string strClass = "CCountedItem";
    bytes.U16(0xFFFF).U16(1).U16(static_cast<unsigned>(strClass.size())).Raw(strClass);
    return bytes.U8(4).Raw("item").U32(nValue);
}

DWORD ValueAt(const CMapStringToOb& map, LPCSTR pszKey)
{
    CObject* pOb = nullptr;
    EXPECT_TRUE(map.Lookup(pszKey, pOb)) << pszKey;
    auto pItem = dynamic_cast<CTestItem*>(pOb);
    EXPECT_NE(nullptr, pItem) << pszKey;
    return pItem != nullptr ? pItem->m_nValue : 0;
}

void DeleteDistinctValues(CMapStringToOb& map)
{
    std::set<CObject*> objects;
    CString key;
    CObject* pOb;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        map.GetNextAssoc(pos, key, pOb);
        objects.insert(pOb);
    }
    for (CObject* pDistinct : objects)
        delete pDistinct;
}

class StringObMapTest : public CPlatformTest
{
protected:
    void SetUp() override
    {
        CPlatformTest::SetUp();
        CCountedItem::s_nLive = 0;
    }
    void TearDown() override
    {
        EXPECT_EQ(0, CCountedItem::s_nLive) << "objects leaked or deleted twice";
        CPlatformTest::TearDown();
    }
};

TEST_F(StringObMapTest, NewMapWritesFourteenBytesAndReadsBackEmpty)
{
    const CRuntimeClass* pClass = CRuntimeClass::FromName("CMapStringToObEx");
    ASSERT_NE(nullptr, pClass);
    EXPECT_EQ(1u, pClass->m_wSchema);
    EXPECT_STREQ("CMapStringToOb", pClass->m_pBaseClass->m_lpszClassName);

    CMapStringToObEx map;
    const CByteVector expected = ObHeader(0, 17, 0);
    EXPECT_EQ(expected, StoreRecord(map));
    auto pLoaded = LoadRecord<CMapStringToObEx>(ObHeader(0, 29, 0));
    EXPECT_EQ(0, pLoaded->GetCount());
    EXPECT_EQ(29u, pLoaded->GetHashTableSize());
}

TEST_F(StringObMapTest, ExactBytesWithNewAndRepeatedClassAndNull)
{
    CMapStringToObEx map;
    map.m_bDeleteValues = TRUE;
    map.SetAt("a", new CCountedItem(1)); // bucket 12
    map.SetAt("b", new CCountedItem(2)); // bucket 13
    map.SetAt("A", nullptr);             // bucket 14
    // Index 1 is the class, 2 the first object, so the second names class 1.
    Bytes expected = ObHeader(1, 17, 3);
    expected.U8(1).Raw("a");
    NewCountedItem(expected, 1);
    expected.U8(1).Raw("b").U16(0x8001).U8(4).Raw("item").U32(2);
    expected.U8(1).Raw("A").U16(0);
    EXPECT_EQ(expected.Get(), StoreRecord(map));
}

TEST_F(StringObMapTest, RoundTripByReferenceRestoresObjectsAndFlag)
{
    for (BOOL bOwning : {FALSE, TRUE})
    {
        CMapStringToObEx map;
        map.m_bDeleteValues = bOwning;
        CCountedItem* pShared = new CCountedItem(7);
        map.SetAt("Key", pShared);
        map.SetAt("KEY", new CCountedItem(8));
        map.SetAt("none", nullptr);
        if (!bOwning)
            map.SetAt("alias", pShared); // a back-reference in the record
        CByteVector bytes = StoreBytes([&](CArchive& ar) { ar << &map; });

        CLoader loader(bytes);
        std::unique_ptr<CObject> pOb(loader.Ar().ReadObject(nullptr));
        auto pLoaded = dynamic_cast<CMapStringToObEx*>(pOb.get());
        ASSERT_NE(nullptr, pLoaded);
        EXPECT_EQ(bOwning, pLoaded->m_bDeleteValues);
        EXPECT_EQ(map.GetCount(), pLoaded->GetCount());
        EXPECT_EQ(7u, ValueAt(*pLoaded, "Key"));
        EXPECT_EQ(8u, ValueAt(*pLoaded, "KEY"));
        CObject* pNone = pLoaded;
        EXPECT_TRUE(pLoaded->Lookup("none", pNone));
        EXPECT_EQ(nullptr, pNone);
        if (!bOwning)
        {
            CObject* pFirst = nullptr;
            CObject* pAlias = nullptr;
            pLoaded->Lookup("Key", pFirst);
            pLoaded->Lookup("alias", pAlias);
            EXPECT_EQ(pFirst, pAlias);
            // Nobody owns what a non-owning map holds but its holder.
            DeleteDistinctValues(*pLoaded);
            DeleteDistinctValues(map);
        }
    }
}

TEST_F(StringObMapTest, SetAtDeletesOnlyAReplacedNonNullObject)
{
    struct
    {
        LPCSTR pszCase;
        BOOL bOwning;
        BOOL bOldNull;
        BOOL bSameValue;
        int nDeleted;
    } const cases[] = {
        {"owning, other value", TRUE, FALSE, FALSE, 1},
        {"owning, same value", TRUE, FALSE, TRUE, 0},
        {"owning, old null", TRUE, TRUE, FALSE, 0},
        {"not owning", FALSE, FALSE, FALSE, 0},
    };
    for (const auto& c : cases)
    {
        CCountedItem* pOld = c.bOldNull ? nullptr : new CCountedItem(1);
        CCountedItem* pNew = c.bSameValue ? pOld : new CCountedItem(2);
        {
            CMapStringToObEx map;
            map.SetAt("k", pOld);
            map.m_bDeleteValues = c.bOwning;
            int nLiveBefore = CCountedItem::s_nLive;
            map.SetAt("k", pNew);
            EXPECT_EQ(c.nDeleted, nLiveBefore - CCountedItem::s_nLive) << c.pszCase;
            if (!c.bOwning)
                delete pNew;
        }
        if (!c.bOwning)
            delete pOld;
    }
}

TEST_F(StringObMapTest, RemoveAllAndDestructionDeleteOwnedObjects)
{
    CCountedItem* pKept = new CCountedItem(1);
    {
        CMapStringToObEx map;
        map.SetAt("kept", pKept);
        map.RemoveAll();
    }
    EXPECT_EQ(1, CCountedItem::s_nLive);
    delete pKept;
    {
        CMapStringToObEx map;
        map.m_bDeleteValues = TRUE;
        map.SetAt("a", new CCountedItem(1));
        map.SetAt("null", nullptr);
        map.RemoveAll();
        EXPECT_EQ(0, CCountedItem::s_nLive);
        CCountedItem* pRemoved = new CCountedItem(2);
        map.SetAt("b", pRemoved);
        map.RemoveKey("b"); // the platform's removal deletes nothing
        EXPECT_EQ(1, CCountedItem::s_nLive);
        delete pRemoved;
        map.SetAt("c", new CCountedItem(3));
    }
    EXPECT_EQ(0, CCountedItem::s_nLive);
}

TEST_F(StringObMapTest, LoadingDeletesOwnedObjectsFirstThenTakesTheRecordFlag)
{
    CMapStringToObEx map;
    map.m_bDeleteValues = TRUE;
    map.SetAt("old", new CCountedItem(1));
    CLoader loader(ObHeader(0, 17, 0));
    map.Serialize(loader.Ar());
    EXPECT_EQ(0, CCountedItem::s_nLive);
    EXPECT_FALSE(map.m_bDeleteValues);
}

TEST_F(StringObMapTest, NonPositiveEntryCountsReadNothing)
{
    for (unsigned long nEntries : {0x80000000ul, 0xFFFFFFFFul})
    {
        CLoader loader(Bytes(ObHeader(1, 17, nEntries)).U8(1).Raw("k").U16(0));
        CMapStringToObEx map;
        map.Serialize(loader.Ar());
        EXPECT_EQ(0, map.GetCount());
        EXPECT_EQ(4u, loader.Remaining());
    }
}

TEST_F(StringObMapTest, OverclaimedEntryCountFailsBeforeAllocating)
{
    CMapStringToObEx map;
    CLoader loader(Bytes(ObHeader(1, 0xFFFFFFFF, 1000)).U8(1).Raw("k").U16(0));
    AfxFailAllocationAfter(0);
    EXPECT_EQ(CArchiveException::endOfFile, ArchiveCauseOf([&] { map.Serialize(loader.Ar()); }));
    AfxFailAllocationAfter(-1);
}

TEST_F(StringObMapTest, OwningRecordRefusesWhatItWouldDeleteTwice)
{
    struct
    {
        LPCSTR pszCase;
        int nCause;
        int nEntriesKept;
    } const cases[] = {
        {"back-reference", CArchiveException::badIndex, 1},
        {"repeated key", CArchiveException::genericException, 1},
    };
    for (const auto& c : cases)
    {
        // Index 1 is the class, 2 the first object.
        Bytes record = ObHeader(1, 17, 2);
        record.U8(1).Raw("a");
        NewCountedItem(record, 1);
        if (std::string(c.pszCase) == "back-reference")
            record.U8(1).Raw("b").U16(2);
        else
            record.U8(1).Raw("a").U16(0x8001).U8(4).Raw("item").U32(2);
        CMapStringToObEx map;
        CLoader loader(record);
        EXPECT_EQ(c.nCause, ArchiveCauseOf([&] { map.Serialize(loader.Ar()); })) << c.pszCase;
        EXPECT_EQ(c.nEntriesKept, map.GetCount()) << c.pszCase;
        EXPECT_EQ(1u, ValueAt(map, "a")) << c.pszCase;
    }
}

TEST_F(StringObMapTest, ReferenceToTheMapItselfIsRefusedWhenOwning)
{
    // The map, read by reference, is object 2; its entry names object 2.
    Bytes record;
    const std::string strClass = "CMapStringToObEx";
    record.U16(0xFFFF).U16(1).U16(static_cast<unsigned>(strClass.size())).Raw(strClass);
    Bytes body = ObHeader(1, 17, 1);
    body.U8(1).Raw("self").U16(2);
    CLoader loader(Concat(record, body));
    EXPECT_EQ(CArchiveException::badIndex,
              ArchiveCauseOf([&] { delete loader.Ar().ReadObject(nullptr); }));
}

TEST_F(StringObMapTest, FailedObjectLeavesTheEntriesReadBefore)
{
    Bytes record = ObHeader(1, 17, 2);
    record.U8(1).Raw("a");
    NewCountedItem(record, 1);
    record.U8(1).Raw("b").U16(0xFFFF).U16(1).U16(7).Raw("CNoSuch");
    CMapStringToObEx map;
    CLoader loader(record);
    EXPECT_EQ(CArchiveException::badClass, ArchiveCauseOf([&] { map.Serialize(loader.Ar()); }));
    EXPECT_EQ(1, map.GetCount());
    EXPECT_EQ(1u, ValueAt(map, "a"));
}

TEST_F(StringObMapTest, EveryTruncationFailsWithEndOfFile)
{
    CMapStringToObEx map;
    map.m_bDeleteValues = TRUE;
    map.SetAt("one", new CCountedItem(1));
    map.SetAt("two", new CCountedItem(2));
    map.SetAt("none", nullptr);
    ExpectEveryTruncationFails<CMapStringToObEx>(StoreRecord(map));
}

} // namespace
