// The archive forms byte for byte: these bytes are the contract with files
// written by either build.
#include "CodePage.h"
#include "TestSupport.h"

#include <memory>

namespace
{

template <class T>
void ExpectScalarForm(T value, const CByteVector& expected)
{
    EXPECT_EQ(expected, StoreBytes([&](CArchive& ar) { ar << value; }));
    CLoader loader(expected);
    T back{};
    loader.Ar() >> back;
    EXPECT_EQ(value, back);
    EXPECT_EQ(0u, loader.Remaining());
}

TEST(ArchiveScalars, LittleEndianAtFixedWidths)
{
    ExpectScalarForm<BYTE>(0xAB, Bytes().U8(0xAB));
    ExpectScalarForm<char>('\x80', Bytes().U8(0x80));
    ExpectScalarForm<short>(-2, Bytes().U16(0xFFFE));
    ExpectScalarForm<WORD>(0x1234, Bytes().U16(0x1234));
    ExpectScalarForm<int>(-1, Bytes().U32(0xFFFFFFFF));
    ExpectScalarForm<UINT>(0x12345678, Bytes().U32(0x12345678));
    ExpectScalarForm<LONG>(-3, Bytes().U32(0xFFFFFFFD));
    ExpectScalarForm<DWORD>(0x80000001, Bytes().U32(0x80000001));
    ExpectScalarForm<LONGLONG>(-2, Bytes().U64(0xFFFFFFFFFFFFFFFEull));
    ExpectScalarForm<ULONGLONG>(0x0102030405060708ull, Bytes().U64(0x0102030405060708ull));
    ExpectScalarForm<float>(1.0f, Bytes().U32(0x3F800000));
    ExpectScalarForm<double>(-2.0, Bytes().U64(0xC000000000000000ull));
}

CString PatternString(int nLength)
{
    CString str;
    LPSTR p = str.GetBuffer(nLength);
    for (int i = 0; i < nLength; ++i)
        p[i] = static_cast<char>(i * 7); // includes NUL bytes
    str.ReleaseBuffer(nLength);
    return str;
}

TEST(ArchiveStrings, LengthPrefixFormsRoundTrip)
{
    struct
    {
        int nLength;
        CByteVector prefix;
    } const aCases[] = {
        {0, Bytes().U8(0)},
        {1, Bytes().U8(1)},
        {254, Bytes().U8(0xFE)},
        {255, Bytes().U8(0xFF).U16(0x00FF)},
        {0xFFFD, Bytes().U8(0xFF).U16(0xFFFD)},
        {0xFFFE, Bytes().U8(0xFF).U16(0xFFFF).U32(0xFFFE)},
        {0xFFFF, Bytes().U8(0xFF).U16(0xFFFF).U32(0xFFFF)},
        {0x10000, Bytes().U8(0xFF).U16(0xFFFF).U32(0x10000)},
    };
    for (const auto& c : aCases)
    {
        SCOPED_TRACE(c.nLength);
        CString str = PatternString(c.nLength);
        CByteVector expected = c.prefix;
        expected.insert(expected.end(), static_cast<LPCSTR>(str),
                        static_cast<LPCSTR>(str) + c.nLength);
        ASSERT_EQ(expected, StoreBytes([&](CArchive& ar) { ar << str; }));

        CLoader loader(expected);
        CString back;
        loader.Ar() >> back;
        EXPECT_EQ(c.nLength, back.GetLength());
        EXPECT_TRUE(back == str);
        EXPECT_EQ(0u, loader.Remaining());
    }
}

CString ReadString(const CByteVector& bytes)
{
    CLoader loader(bytes);
    CString str;
    loader.Ar() >> str;
    EXPECT_EQ(0u, loader.Remaining());
    return str;
}

TEST(ArchiveStrings, ReaderAcceptsLongerPrefixesThanNeeded)
{
    EXPECT_TRUE(ReadString(Bytes().U8(0xFF).U16(3).Raw("abc")) == "abc");
    EXPECT_TRUE(ReadString(Bytes().U8(0xFF).U16(0xFFFF).U32(3).Raw("abc")) == "abc");
    EXPECT_TRUE(ReadString(Bytes().U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFF).U64(3).Raw("abc")) ==
                "abc");
}

Bytes WideString(std::initializer_list<unsigned> chars)
{
    Bytes bytes;
    bytes.U8(0xFF).U16(0xFFFE).U8(static_cast<unsigned>(chars.size()));
    for (unsigned ch : chars)
        bytes.U16(ch);
    return bytes;
}

TEST(ArchiveStrings, WideStringsAreConvertedOnReading)
{
    EXPECT_TRUE(ReadString(WideString({'a', 'b'})) == "ab");
    EXPECT_TRUE(ReadString(WideString({})) == "");
    CString strNul = ReadString(WideString({'x', 0, 'y'}));
    EXPECT_TRUE(strNul == CString("x\0y", 3));

    Bytes longForm;
    longForm.U8(0xFF).U16(0xFFFE).U8(0xFF).U16(300);
    for (int i = 0; i < 300; ++i)
        longForm.U16('w');
    EXPECT_TRUE(ReadString(longForm) == CString('w', 300));

    if (AfxGetAnsiCodePage() == 1252)
    {
        EXPECT_TRUE(ReadString(WideString({0xE9, 0x20AC, 0x4E2D})) == "\xE9\x80?");
    }
#ifndef _WIN32
    EXPECT_TRUE(ReadString(WideString({0xD83D, 0xDE00, 'z', 0xDC00})) == "?z?");
#endif
}

TEST(ArchiveCounts, CountFormsRoundTrip)
{
    struct
    {
        ULONGLONG nCount;
        CByteVector bytes;
    } const aCases[] = {
        {0, Bytes().U16(0)},
        {0xFFFE, Bytes().U16(0xFFFE)},
        {0xFFFF, Bytes().U16(0xFFFF).U32(0xFFFF)},
        {0x10000, Bytes().U16(0xFFFF).U32(0x10000)},
        {0xFFFFFFFE, Bytes().U16(0xFFFF).U32(0xFFFFFFFE)},
        {0xFFFFFFFF, Bytes().U16(0xFFFF).U32(0xFFFFFFFF).U64(0xFFFFFFFF)},
        {0x100000000ull, Bytes().U16(0xFFFF).U32(0xFFFFFFFF).U64(0x100000000ull)},
    };
    for (const auto& c : aCases)
    {
        SCOPED_TRACE(c.nCount);
        EXPECT_EQ(c.bytes, StoreBytes([&](CArchive& ar) { ar.WriteCount(c.nCount); }));
        CLoader loader(c.bytes);
        if (c.nCount > static_cast<DWORD_PTR>(-1))
        {
            EXPECT_EQ(CArchiveException::endOfFile,
                      ArchiveCauseOf([&] { loader.Ar().ReadCount(); }));
            continue;
        }
        EXPECT_EQ(c.nCount, loader.Ar().ReadCount());
    }
}

class ArchiveObjects : public CPlatformTest
{
};

CByteVector ItemRecord(LPCSTR pszName, DWORD nValue)
{
    return StoreBytes([&](CArchive& ar) { ar << CString(pszName) << nValue; });
}

TEST_F(ArchiveObjects, NullNewClassClassReferenceAndObjectReference)
{
    CTestItem a("a", 1);
    CTestItem b("b", 2);
    CByteVector bytes = StoreBytes(
        [&](CArchive& ar) { ar << static_cast<CObject*>(nullptr) << &a << &a << &b << &b; });

    CByteVector expected = Bytes().U16(0);                                           // null
    expected = Concat(expected, Bytes().U16(0xFFFF).U16(1).U16(9).Raw("CTestItem")); // class 1
    expected = Concat(expected, ItemRecord("a", 1));                                 // a: index 2
    expected = Concat(expected, Bytes().U16(2));                                     // a again
    expected = Concat(expected, Bytes().U16(0x8001)); // class 1 again
    expected = Concat(expected, ItemRecord("b", 2));  // b: index 3
    expected = Concat(expected, Bytes().U16(3));      // b again
    EXPECT_EQ(expected, bytes);

    CLoader loader(bytes);
    CObject* apOb[5];
    for (CObject*& pOb : apOb)
        loader.Ar() >> pOb;
    std::unique_ptr<CObject> pA(apOb[1]), pB(apOb[3]);
    EXPECT_EQ(nullptr, apOb[0]);
    ASSERT_TRUE(pA && pA->IsKindOf(RUNTIME_CLASS(CTestItem)));
    EXPECT_TRUE(static_cast<CTestItem*>(pA.get())->m_strName == "a");
    EXPECT_EQ(pA.get(), apOb[2]);
    EXPECT_NE(pA.get(), pB.get());
    EXPECT_EQ(2u, static_cast<CTestItem*>(pB.get())->m_nValue);
    EXPECT_EQ(pB.get(), apOb[4]);
}

TEST_F(ArchiveObjects, IndexesFrom0x7FFFUseTheLongForms)
{
    // Class CTestItem takes index 1, the items 2..0x7FFE; the bag class then
    // gets 0x7FFF and the first bag 0x8000.
    const int nItems = 0x7FFD;
    std::vector<std::unique_ptr<CTestItem>> items;
    for (int i = 0; i < nItems; ++i)
        items.emplace_back(new CTestItem);
    CTestBag bag1, bag2;
    CByteVector bytes = StoreBytes(
        [&](CArchive& ar)
        {
            for (auto& pItem : items)
                ar << pItem.get();
            ar << &bag1 << &bag2 << &bag1 << items.back().get();
        });

    const CByteVector emptyBag = Bytes().U8(0).U16(0).U16(0).U16(0).U16(0);
    CByteVector tail = Concat(Bytes().U16(0xFFFF).U16(2).U16(8).Raw("CTestBag"), emptyBag);
    tail = Concat(tail, Concat(Bytes().U16(0x7FFF).U32(0x80007FFF), emptyBag));
    tail = Concat(tail, Bytes().U16(0x7FFF).U32(0x8000).U16(0x7FFE));
    ASSERT_GT(bytes.size(), tail.size());
    EXPECT_EQ(tail, CByteVector(bytes.end() - tail.size(), bytes.end()));

    CLoader loader(bytes);
    std::vector<std::unique_ptr<CObject>> loaded;
    for (int i = 0; i < nItems + 2; ++i)
        loaded.emplace_back(loader.Ar().ReadObject(nullptr));
    EXPECT_TRUE(loaded[nItems]->IsKindOf(RUNTIME_CLASS(CTestBag)));
    EXPECT_NE(loaded[nItems].get(), loaded[nItems + 1].get());
    EXPECT_EQ(loaded[nItems].get(), loader.Ar().ReadObject(RUNTIME_CLASS(CTestBag)));
    EXPECT_EQ(loaded[nItems - 1].get(), loader.Ar().ReadObject(RUNTIME_CLASS(CTestItem)));
    EXPECT_EQ(0u, loader.Remaining());
}

TEST_F(ArchiveObjects, ObjectMayReferToItselfAndToEarlierObjects)
{
    CTestBag bag;
    bag.m_pAlias = &bag;
    CByteVector bytes = StoreBytes([&](CArchive& ar) { ar << &bag; });
    CLoader loader(bytes);
    std::unique_ptr<CObject> pOb(loader.Ar().ReadObject(RUNTIME_CLASS(CTestBag)));
    EXPECT_EQ(pOb.get(), static_cast<CTestBag*>(pOb.get())->m_pAlias);
}

TEST_F(ArchiveObjects, BagRoundTripKeepsContentAndSharing)
{
    CLoader loader(MakeBagArchive());
    CTestBag* pRaw = nullptr;
    loader.Ar() >> pRaw;
    std::unique_ptr<CTestBag> pBag(pRaw);
    ASSERT_TRUE(pBag);
    EXPECT_TRUE(pBag->m_strTitle == "bag");
    ASSERT_EQ(3, pBag->m_aItems.GetSize());
    EXPECT_TRUE(static_cast<CTestItem*>(pBag->m_aItems[2])->m_strName == "three");
    EXPECT_EQ(pBag->m_aItems[1], pBag->m_pAlias);
    CString strValue;
    EXPECT_TRUE(pBag->m_mapStrings.Lookup("k2", strValue) && strValue == "v2");
    ASSERT_EQ(2, pBag->m_aValues.GetSize());
    EXPECT_EQ(8u, pBag->m_aValues[1]);
    EXPECT_EQ(0u, loader.Remaining());
}

} // namespace
