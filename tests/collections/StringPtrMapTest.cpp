// CMapStringToPtrEx and the three maps built on it: ownership of raw
// blocks, numbers loaded from archives, and the record.
#include "MapStringToPtrEx.h"

#include "RecordTestSupport.h"

#include <string>
#include <vector>

namespace
{

void* Number(UINT_PTR n)
{
    return reinterpret_cast<void*>(n);
}

void* NewBlock()
{
    return ::operator new(16);
}

// Writing into a block that the map freed is a use-after-free under ASan.
void Touch(void* pBlock)
{
    static_cast<volatile BYTE*>(pBlock)[0] = 0x5A;
}

// Header of a CMapStringToPtrEx record.
Bytes PtrHeader(unsigned long nBlockSize, unsigned long nHashSize, unsigned long nEntries)
{
    Bytes bytes;
    bytes.U16(1).U32(nBlockSize).U32(nHashSize).U32(nEntries);
    return bytes;
}

std::vector<std::string> KeysInOrder(const CMapStringToPtr& map)
{
    std::vector<std::string> keys;
    CString key;
    void* value;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        map.GetNextAssoc(pos, key, value);
        keys.push_back(std::string(key, key.GetLength()));
    }
    return keys;
}

class StringPtrMapTest : public CPlatformTest
{
};

TEST_F(StringPtrMapTest, NewMapOfEachClassWritesTheSameFourteenBytes)
{
    const CByteVector expected = PtrHeader(10, 17, 0);
    ASSERT_EQ(14u, expected.size());
    for (LPCSTR pszClass :
         {"CMapStringToPtrEx", "CMapStringToDWord", "CMapStringToBool", "CMapString"})
    {
        std::unique_ptr<CObject> pMap(CRuntimeClass::CreateObject(pszClass));
        ASSERT_NE(nullptr, pMap) << pszClass;
        ASSERT_TRUE(pMap->IsKindOf(RUNTIME_CLASS(CMapStringToPtrEx))) << pszClass;
        EXPECT_EQ(expected, StoreRecord(*pMap)) << pszClass;
        EXPECT_FALSE(static_cast<CMapStringToPtrEx*>(pMap.get())->m_bDeleteValues) << pszClass;
    }
}

TEST_F(StringPtrMapTest, ClassRecordsNameSchemaAndBase)
{
    struct
    {
        LPCSTR pszClass;
        LPCSTR pszBase;
    } const cases[] = {
        {"CMapStringToPtrEx", "CMapStringToPtr"},
        {"CMapStringToDWord", "CMapStringToPtrEx"},
        {"CMapStringToBool", "CMapStringToPtrEx"},
        {"CMapString", "CMapStringToBool"},
    };
    for (const auto& c : cases)
    {
        const CRuntimeClass* pClass = CRuntimeClass::FromName(c.pszClass);
        ASSERT_NE(nullptr, pClass) << c.pszClass;
        EXPECT_EQ(1u, pClass->m_wSchema) << c.pszClass;
        EXPECT_STREQ(c.pszBase, pClass->m_pBaseClass->m_lpszClassName) << c.pszClass;
    }
}

TEST_F(StringPtrMapTest, EntriesAreWrittenInSignedByteHashOrder)
{
    // "a" and "r" share bucket 12 of 17, "b" is in 13; "\xE9m" is in 14 with
    // the byte taken as -23, but would join bucket 12 as 233.
    CMapStringToPtrEx map;
    map.SetAt("a", Number(1));
    map.SetAt("b", Number(2));
    map.SetAt("r", Number(3));
    map.SetAt("\xE9m", Number(0xFFFFFFFF));
    Bytes expected = PtrHeader(10, 17, 4);
    expected.U8(1).Raw("r").U32(3);
    expected.U8(1).Raw("a").U32(1);
    expected.U8(1).Raw("b").U32(2);
    expected.U8(2).Raw("\xE9m").U32(0xFFFFFFFF);
    EXPECT_EQ(expected.Get(), StoreRecord(map));
}

TEST_F(StringPtrMapTest, KeysDifferingOnlyInCaseAreDistinctAndRoundTrip)
{
    CMapStringToDWord map;
    map.SetAt("Key", Number(1));
    map.SetAt("KEY", Number(2));
    map.SetAt("key", Number(3));
    ASSERT_EQ(3, map.GetCount());
    // "Key" and "KEY" share bucket 10 of 17, newest first, after "key" in 8;
    // reading them back reverses a bucket, which no reader depends on.
    EXPECT_EQ((std::vector<std::string>{"key", "KEY", "Key"}), KeysInOrder(map));
    auto pLoaded = LoadRecord<CMapStringToDWord>(StoreRecord(map));
    EXPECT_EQ(3, pLoaded->GetCount());
    for (auto entry :
         {std::make_pair("Key", 1), std::make_pair("KEY", 2), std::make_pair("key", 3)})
    {
        void* value = nullptr;
        EXPECT_TRUE(pLoaded->Lookup(entry.first, value)) << entry.first;
        EXPECT_EQ(Number(entry.second), value) << entry.first;
    }
}

TEST_F(StringPtrMapTest, ValuesKeepTheirLow32BitsZeroExtended)
{
    const CByteVector record = Bytes(PtrHeader(10, 17, 1)).U8(1).Raw("k").U32(0xFFFFFFFF);
    auto pMap = LoadRecord<CMapStringToDWord>(record);
    void* value = nullptr;
    ASSERT_TRUE(pMap->Lookup("k", value));
    EXPECT_EQ(Number(0xFFFFFFFFu), value);
    // The same bytes back, whichever build wrote them.
    EXPECT_EQ(record, StoreRecord(*pMap));
}

TEST_F(StringPtrMapTest, ShapeFieldsRoundTripOrFallBackToUsableValues)
{
    struct
    {
        unsigned long nBlockSize, nHashSize;
        unsigned long nBlockSizeAfter, nHashSizeAfter;
    } const cases[] = {
        {3, 101, 3, 101},
        {1, 1, 1, 1},
        {65536, 65536, 65536, 65536},
        {0, 0, 10, 17},
        {0xFFFFFFFF, 17, 10, 17},    // -1
        {65537, 17, 10, 17},         // a block that big is allocated whole
        {10, 0xFFFFFFFF, 10, 65536}, // buckets cost no bytes in the record
    };
    for (const auto& c : cases)
    {
        auto pMap = LoadRecord<CMapStringToPtrEx>(PtrHeader(c.nBlockSize, c.nHashSize, 0));
        EXPECT_EQ(c.nHashSizeAfter, pMap->GetHashTableSize()) << c.nBlockSize << "/" << c.nHashSize;
        EXPECT_EQ(CByteVector(PtrHeader(c.nBlockSizeAfter, c.nHashSizeAfter, 0)),
                  StoreRecord(*pMap))
            << c.nBlockSize << "/" << c.nHashSize;
    }
}

TEST_F(StringPtrMapTest, NonPositiveEntryCountsReadNothing)
{
    for (unsigned long nEntries : {0x80000000ul, 0xFFFFFFFFul})
    {
        CMapStringToPtrEx map;
        map.SetAt("old", Number(1));
        CLoader loader(Bytes(PtrHeader(10, 17, nEntries)).U8(1).Raw("k").U32(1));
        map.Serialize(loader.Ar());
        EXPECT_EQ(0, map.GetCount()) << nEntries;
        EXPECT_EQ(6u, loader.Remaining()) << nEntries;
    }
}

TEST_F(StringPtrMapTest, OverclaimedEntryCountFailsBeforeAllocating)
{
    CMapStringToPtrEx map;
    CLoader loader(Bytes(PtrHeader(10, 0x7FFFFFFF, 0x7FFFFFFF)).U8(1).Raw("k").U32(1));
    // Any allocation now would be the claimed bucket array or an entry.
    AfxFailAllocationAfter(0);
    EXPECT_EQ(CArchiveException::endOfFile, ArchiveCauseOf([&] { map.Serialize(loader.Ar()); }));
    AfxFailAllocationAfter(-1);
    EXPECT_EQ(0, map.GetCount());
}

TEST_F(StringPtrMapTest, EveryTruncationFailsWithEndOfFile)
{
    CMapStringToPtrEx map;
    map.SetAt("alpha", Number(1));
    map.SetAt("beta", Number(2));
    map.SetAt("", Number(3));
    ExpectEveryTruncationFails<CMapStringToPtrEx>(StoreRecord(map));
}

// Ownership of raw blocks. Frees that must not happen are caught as
// use-after-free or bad-free, frees that must happen as leaks, under ASan.

TEST_F(StringPtrMapTest, SetAtFreesOnlyAReplacedNonNullBlock)
{
    CMapStringToPtrEx map;
    map.m_bDeleteValues = TRUE;
    void* pFirst = NewBlock();
    map.SetAt("k", pFirst);
    map.SetAt("k", pFirst); // same value: nothing freed
    Touch(pFirst);
    void* pSecond = NewBlock();
    map.SetAt("k", pSecond); // pFirst freed once
    map.SetAt("null", nullptr);
    void* pThird = NewBlock();
    map.SetAt("null", pThird); // old null: nothing freed
    void* value = nullptr;
    ASSERT_TRUE(map.Lookup("k", value));
    EXPECT_EQ(pSecond, value);
    Touch(pSecond);
    Touch(pThird);
    map.SetAt("k", nullptr); // pSecond freed; pThird left to the destructor
}

TEST_F(StringPtrMapTest, RemoveAllFreesOwnedBlocksAndKeepsNonOwnedOnes)
{
    void* pKept = NewBlock();
    {
        CMapStringToPtrEx notOwning;
        notOwning.SetAt("k", pKept);
        notOwning.RemoveAll();
    }
    Touch(pKept);
    CMapStringToPtrEx owning;
    owning.m_bDeleteValues = TRUE;
    owning.SetAt("k", pKept);
    owning.SetAt("n", nullptr);
    owning.RemoveAll();
    EXPECT_EQ(0, owning.GetCount());
    owning.SetAt("again", NewBlock()); // freed by the destructor
}

TEST_F(StringPtrMapTest, LoadingFreesOwnedBlocksFirstAndKeepsTheFlag)
{
    for (BOOL bOwning : {FALSE, TRUE})
    {
        CMapStringToPtrEx map;
        map.m_bDeleteValues = bOwning;
        void* pBlock = NewBlock();
        map.SetAt("k", pBlock);
        CLoader loader(Bytes(PtrHeader(4, 5, 1)).U8(1).Raw("n").U32(7));
        map.Serialize(loader.Ar());
        EXPECT_EQ(bOwning, map.m_bDeleteValues);
        EXPECT_EQ(1, map.GetCount());
        if (!bOwning)
            ::operator delete(pBlock);
    }
}

TEST_F(StringPtrMapTest, NumbersLoadedIntoAnOwningMapAreNeverFreed)
{
    // The record holds the low halves of live blocks (whole pointers in a
    // 32-bit build) and a plain number; the loading map owns its values.
    CMapStringToPtrEx writer;
    writer.m_bDeleteValues = TRUE;
    writer.SetAt("block1", NewBlock());
    writer.SetAt("block2", NewBlock());
    writer.SetAt("one", Number(1));
    CByteVector record = StoreRecord(writer);
    writer.RemoveKey("one"); // frees nothing, so the writer can own the rest

    CMapStringToPtrEx map;
    map.m_bDeleteValues = TRUE;
    CLoader loader(record);
    map.Serialize(loader.Ar());
    ASSERT_EQ(3, map.GetCount());

    void* pOwned = NewBlock();
    map.SetAt("one", pOwned); // the loaded 1 is not freed
    map.SetAt("fresh", NewBlock());
    void* value = nullptr;
    ASSERT_TRUE(map.Lookup("block1", value));
    map.RemoveKey("block1");
    map.SetAt("block1", value); // the same number again: still not owned
    // Reloading runs RemoveAll: pOwned and "fresh" are freed, no number is.
    CLoader again(record);
    map.Serialize(again.Ar());
    // A holder that turns ownership on after loading frees no number either.
    CMapStringToPtrEx late;
    CLoader third(record);
    late.Serialize(third.Ar());
    late.m_bDeleteValues = TRUE;
}

TEST_F(StringPtrMapTest, DuplicateKeysInARecordLeaveTheLaterNumber)
{
    CMapStringToPtrEx map;
    map.m_bDeleteValues = TRUE;
    auto record = Bytes(PtrHeader(10, 17, 2)).U8(1).Raw("k").U32(5).U8(1).Raw("k").U32(6);
    CLoader loader(record);
    map.Serialize(loader.Ar());
    void* value = nullptr;
    ASSERT_TRUE(map.Lookup("k", value));
    EXPECT_EQ(Number(6), value);
    map.SetAt("k", NewBlock()); // neither 5 nor 6 is freed; the block is
}

} // namespace
