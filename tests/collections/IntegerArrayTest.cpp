// CDWordArrayEx and CDWord64Array: storage only while there are elements,
// exact records, and short records failing the same way in every build.
#include "DWord64Array.h"
#include "DWordArrayEx.h"

#include "RecordTestSupport.h"

namespace
{

class IntegerArrayTest : public CPlatformTest
{
};

CDWord64Array* MakeArray64(std::initializer_list<ULONGLONG> values)
{
    auto pArray = new CDWord64Array;
    for (ULONGLONG n : values)
        pArray->Add(n);
    return pArray;
}

TEST_F(IntegerArrayTest, ClassRecords)
{
    for (LPCSTR pszClass : {"CDWordArrayEx", "CDWord64Array"})
    {
        const CRuntimeClass* pClass = CRuntimeClass::FromName(pszClass);
        ASSERT_NE(nullptr, pClass) << pszClass;
        EXPECT_EQ(1u, pClass->m_wSchema) << pszClass;
        EXPECT_STREQ("CObject", pClass->m_pBaseClass->m_lpszClassName) << pszClass;
        std::unique_ptr<CObject> pOb(pClass->CreateObject());
        EXPECT_EQ(CByteVector({0, 0}), StoreRecord(*pOb)) << pszClass;
    }
}

TEST_F(IntegerArrayTest, DWordArrayExHoldsStorageOnlyWhileItHasElements)
{
    CDWordArrayEx array;
    EXPECT_EQ(nullptr, array.GetArray());
    EXPECT_EQ(CByteVector({0, 0}), StoreRecord(array));
    EXPECT_EQ(nullptr, array.GetArray());

    array.Add(1);
    array.Add(2);
    array.Add(3);
    ASSERT_NE(nullptr, array.GetArray());
    const CByteVector expected = Bytes().U16(3).U32(1).U32(2).U32(3);
    EXPECT_EQ(expected, StoreRecord(array));

    // An empty record replaces the elements and drops the storage.
    CLoader loader(Bytes().U16(0));
    array.Serialize(loader.Ar());
    EXPECT_EQ(nullptr, array.GetArray());

    auto pLoaded = LoadRecord<CDWordArrayEx>(expected);
    ASSERT_NE(nullptr, pLoaded->GetArray());
    ASSERT_EQ(3, pLoaded->GetArray()->GetSize());
    EXPECT_EQ(3u, pLoaded->GetArray()->GetAt(2));
    pLoaded->RemoveAll();
    EXPECT_EQ(nullptr, pLoaded->GetArray());
}

TEST_F(IntegerArrayTest, DWordArrayExFailedLoadLeavesNoEmptyStorage)
{
    CDWordArrayEx array;
    CLoader loader(Bytes().U16(2).U32(1));
    EXPECT_EQ(CArchiveException::endOfFile, ArchiveCauseOf([&] { array.Serialize(loader.Ar()); }));
    EXPECT_EQ(nullptr, array.GetArray());

    array.Add(9);
    CLoader again(Bytes().U16(2).U32(1));
    EXPECT_EQ(CArchiveException::endOfFile, ArchiveCauseOf([&] { array.Serialize(again.Ar()); }));
    ASSERT_NE(nullptr, array.GetArray());
    EXPECT_EQ(9u, array.GetArray()->GetAt(0));
}

TEST_F(IntegerArrayTest, DWord64ElementsAreLittleEndian64Bit)
{
    std::unique_ptr<CDWord64Array> pArray(MakeArray64({1, 0xFFFFFFFFFFFFFFFFull}));
    const CByteVector expected = Bytes().U16(2).U64(1).U64(0xFFFFFFFFFFFFFFFFull);
    EXPECT_EQ(expected, StoreRecord(*pArray));
    auto pLoaded = LoadRecord<CDWord64Array>(expected);
    ASSERT_EQ(2, pLoaded->GetSize());
    EXPECT_EQ(0xFFFFFFFFFFFFFFFFull, pLoaded->GetAt(1));
}

TEST_F(IntegerArrayTest, CountAtOrAbove0xFFFFUsesTheEscape)
{
    struct
    {
        INT_PTR nSize;
        CByteVector prefix;
    } const cases[] = {
        {0xFFFE, Bytes().U16(0xFFFE)},
        {0xFFFF, Bytes().U16(0xFFFF).U32(0xFFFF)},
        {0x10000, Bytes().U16(0xFFFF).U32(0x10000)},
    };
    for (const auto& c : cases)
    {
        CDWord64Array array;
        array.SetSize(c.nSize);
        array[c.nSize - 1] = 5;
        CByteVector bytes = StoreRecord(array);
        ASSERT_EQ(c.prefix.size() + 8 * static_cast<size_t>(c.nSize), bytes.size()) << c.nSize;
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin())) << c.nSize;
        auto pLoaded = LoadRecord<CDWord64Array>(bytes);
        ASSERT_EQ(c.nSize, pLoaded->GetSize());
        EXPECT_EQ(5u, pLoaded->GetAt(c.nSize - 1));
    }
}

TEST_F(IntegerArrayTest, OverclaimedCountFailsBeforeAllocating)
{
    const CByteVector record = Bytes().U16(0xFFFF).U32(0x7FFFFFFF).U64(1);
    CDWord64Array array;
    CLoader loader(record);
    AfxFailAllocationAfter(0);
    EXPECT_EQ(CArchiveException::endOfFile, ArchiveCauseOf([&] { array.Serialize(loader.Ar()); }));
    AfxFailAllocationAfter(-1);
    EXPECT_EQ(0, array.GetSize());

    // Only the storage object itself may be allocated, and is dropped again.
    CDWordArrayEx arrayEx;
    CLoader again(record);
    AfxFailAllocationAfter(1);
    EXPECT_EQ(CArchiveException::endOfFile, ArchiveCauseOf([&] { arrayEx.Serialize(again.Ar()); }));
    AfxFailAllocationAfter(-1);
    EXPECT_EQ(nullptr, arrayEx.GetArray());
}

TEST_F(IntegerArrayTest, EveryTruncationFailsWithEndOfFile)
{
    CDWordArrayEx array;
    for (DWORD n : {1u, 0x80000000u, 0xFFFFFFFFu})
        array.Add(n);
    ExpectEveryTruncationFails<CDWordArrayEx>(StoreRecord(array));
    std::unique_ptr<CDWord64Array> pArray(MakeArray64({1, 2}));
    ExpectEveryTruncationFails<CDWord64Array>(StoreRecord(*pArray));
}

} // namespace
