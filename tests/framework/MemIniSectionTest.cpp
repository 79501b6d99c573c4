// CMemIniSection: the record, sign extension of integer values, the bucket
// count a load sets, and loads that must not strand or over-allocate.
#include "MemIniSection.h"

#include "RecordTestSupport.h"

namespace
{

void* IntValue(INT_PTR n)
{
    return reinterpret_cast<void*>(n);
}

INT_PTR IntAt(const CMemIniSection& section, LPCSTR pszName)
{
    void* value = nullptr;
    EXPECT_TRUE(section.m_intEntries.Lookup(pszName, value)) << pszName;
    return reinterpret_cast<INT_PTR>(value);
}

class MemIniSectionTest : public CPlatformTest
{
};

TEST_F(MemIniSectionTest, EmptySectionWritesEightBytesAndReadsBackWithSevenBuckets)
{
    const CRuntimeClass* pClass = CRuntimeClass::FromName("CMemIniSection");
    ASSERT_NE(nullptr, pClass);
    EXPECT_EQ(1u, pClass->m_wSchema);
    EXPECT_STREQ("CObject", pClass->m_pBaseClass->m_lpszClassName);

    CMemIniSection section;
    EXPECT_EQ(17u, section.m_intEntries.GetHashTableSize());
    const CByteVector expected = Bytes().U16(1).U32(0).U16(0);
    EXPECT_EQ(expected, StoreRecord(section));
    auto pLoaded = LoadRecord<CMemIniSection>(expected);
    EXPECT_EQ(0, pLoaded->m_intEntries.GetCount());
    EXPECT_EQ(0, pLoaded->m_stringEntries.GetCount());
    EXPECT_EQ(7u, pLoaded->m_intEntries.GetHashTableSize());
}

TEST_F(MemIniSectionTest, ExactBytesWithANameInBothTables)
{
    CMemIniSection section;
    section.m_intEntries["Size"] = IntValue(-1);
    section.m_intEntries["a"] = IntValue(2);
    section.m_stringEntries["Size"] = "large";
    Bytes expected;
    expected.U16(1).U32(2);
    expected.U8(4).Raw("Size").U32(0xFFFFFFFF); // bucket 1 of 17
    expected.U8(1).Raw("a").U32(2);             // bucket 12
    expected.U16(1).U8(4).Raw("Size").U8(5).Raw("large");
    EXPECT_EQ(expected.Get(), StoreRecord(section));

    // Through the class record, as an archive holding one re-creates it.
    CByteVector bytes = StoreBytes([&](CArchive& ar) { ar << &section; });
    CLoader loader(bytes);
    std::unique_ptr<CObject> pOb(loader.Ar().ReadObject(RUNTIME_CLASS(CMemIniSection)));
    auto pLoaded = static_cast<CMemIniSection*>(pOb.get());
    EXPECT_EQ(-1, IntAt(*pLoaded, "Size"));
    EXPECT_EQ(2, IntAt(*pLoaded, "a"));
    EXPECT_EQ(2u * 2 + 7, pLoaded->m_intEntries.GetHashTableSize());
    CString str;
    EXPECT_TRUE(pLoaded->m_stringEntries.Lookup("Size", str) && str == "large");
}

TEST_F(MemIniSectionTest, ValuesKeepTheirLow32BitsSignExtended)
{
    struct
    {
        unsigned long nStored;
        INT_PTR nLoaded;
    } const cases[] = {
        {0xFFFFFFFF, -1},
        {0x80000000, -2147483647 - 1},
        {0x7FFFFFFF, 2147483647},
        {0, 0},
    };
    for (const auto& c : cases)
    {
        auto pSection =
            LoadRecord<CMemIniSection>(Bytes().U16(1).U32(1).U8(1).Raw("v").U32(c.nStored).U16(0));
        EXPECT_EQ(c.nLoaded, IntAt(*pSection, "v")) << c.nStored;
    }
}

TEST_F(MemIniSectionTest, ValueBeyond32BitsIsWrittenAsItsLowHalf)
{
    if (sizeof(void*) < 8)
        GTEST_SKIP() << "a 32-bit value slot holds no more than 32 bits";
    CMemIniSection section;
    section.m_intEntries["v"] = IntValue(static_cast<INT_PTR>(0x180000001ull));
    const CByteVector expected = Bytes().U16(1).U32(1).U8(1).Raw("v").U32(0x80000001).U16(0);
    EXPECT_EQ(expected, StoreRecord(section));
    EXPECT_EQ(static_cast<INT_PTR>(-2147483647), IntAt(*LoadRecord<CMemIniSection>(expected), "v"));
}

TEST_F(MemIniSectionTest, LaterDuplicateWins)
{
    auto pSection = LoadRecord<CMemIniSection>(
        Bytes().U16(1).U32(2).U8(1).Raw("n").U32(1).U8(1).Raw("n").U32(2).U16(0));
    EXPECT_EQ(1, pSection->m_intEntries.GetCount());
    EXPECT_EQ(2, IntAt(*pSection, "n"));
}

TEST_F(MemIniSectionTest, LoadingReplacesIntegersAndMergesStrings)
{
    CMemIniSection section;
    section.m_intEntries["stale"] = IntValue(1);
    section.m_intEntries["n"] = IntValue(1);
    section.m_stringEntries["kept"] = "yes";
    section.m_stringEntries["s"] = "old";
    CLoader loader(
        Bytes().U16(1).U32(1).U8(1).Raw("n").U32(5).U16(1).U8(1).Raw("s").U8(3).Raw("new"));
    section.Serialize(loader.Ar());
    EXPECT_EQ(1, section.m_intEntries.GetCount());
    EXPECT_EQ(5, IntAt(section, "n"));
    EXPECT_EQ(9u, section.m_intEntries.GetHashTableSize());
    CString str;
    EXPECT_TRUE(section.m_stringEntries.Lookup("kept", str) && str == "yes");
    EXPECT_TRUE(section.m_stringEntries.Lookup("s", str) && str == "new");
}

TEST_F(MemIniSectionTest, OverclaimedCountFailsBeforeSizingTheTable)
{
    for (unsigned long nEntries : {0x80000000ul, 0x7FFFFFF0ul, 2ul})
    {
        CMemIniSection section;
        section.m_intEntries["kept"] = IntValue(1);
        CLoader loader(Bytes().U16(1).U32(nEntries).U8(1).Raw("n").U32(5));
        AfxFailAllocationAfter(0);
        EXPECT_EQ(CArchiveException::endOfFile,
                  ArchiveCauseOf([&] { section.Serialize(loader.Ar()); }))
            << nEntries;
        AfxFailAllocationAfter(-1);
        EXPECT_EQ(1, IntAt(section, "kept")) << nEntries;
    }
}

TEST_F(MemIniSectionTest, EveryTruncationFailsWithEndOfFile)
{
    CMemIniSection section;
    section.m_intEntries["width"] = IntValue(640);
    section.m_intEntries["height"] = IntValue(-480);
    section.m_stringEntries["title"] = "main";
    ExpectEveryTruncationFails<CMemIniSection>(StoreRecord(section));
}

} // namespace
