// One conformance suite for the platform arrays, then their records.
#include "TestSupport.h"

namespace
{

template <class ARRAY>
struct ArrayTraits;

template <>
struct ArrayTraits<CPtrArray>
{
    typedef void* Value;
    static Value Make(int i) { return reinterpret_cast<void*>(static_cast<UINT_PTR>(i + 1)); }
};

template <>
struct ArrayTraits<CDWordArray>
{
    typedef DWORD Value;
    static Value Make(int i) { return static_cast<DWORD>(i + 1); }
};

template <>
struct ArrayTraits<CArray<ULONGLONG, ULONGLONG>>
{
    typedef ULONGLONG Value;
    static Value Make(int i) { return 0x100000000ull + static_cast<ULONGLONG>(i); }
};

template <>
struct ArrayTraits<CArray<CString>>
{
    typedef CString Value;
    static Value Make(int i)
    {
        CString str;
        str.Format("element %d", i);
        return str;
    }
};

template <class ARRAY>
class ArrayConformance : public CPlatformTest
{
protected:
    typedef ArrayTraits<ARRAY> Traits;
    typedef typename Traits::Value Value;

    static void Fill(ARRAY& a, int nCount)
    {
        for (int i = 0; i < nCount; ++i)
            a.Add(Traits::Make(i));
    }
};

typedef ::testing::Types<CPtrArray, CDWordArray, CArray<ULONGLONG, ULONGLONG>, CArray<CString>>
    ArrayTypes;
TYPED_TEST_SUITE(ArrayConformance, ArrayTypes);

TYPED_TEST(ArrayConformance, SetSizeZeroInitialisesNewElements)
{
    typedef typename TestFixture::Value Value;
    TypeParam a;
    EXPECT_EQ(0, a.GetSize());
    EXPECT_EQ(-1, a.GetUpperBound());
    a.SetSize(5);
    EXPECT_EQ(5, a.GetCount());
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_TRUE(a[i] == Value());
        a[i] = TestFixture::Traits::Make(i);
    }
    a.SetSize(2);
    a.SetSize(4);
    EXPECT_TRUE(a[1] == TestFixture::Traits::Make(1));
    EXPECT_TRUE(a[2] == Value());
    EXPECT_TRUE(a[3] == Value());
    a.SetSize(0);
    EXPECT_EQ(nullptr, a.GetData());
}

TYPED_TEST(ArrayConformance, OutOfRangeRaisesInvalidArg)
{
    typedef typename TestFixture::Value Value;
    TypeParam a;
    TestFixture::Fill(a, 3);
    EXPECT_THROW(a.GetAt(-1), CInvalidArgException);
    EXPECT_THROW(a.GetAt(3), CInvalidArgException);
    EXPECT_THROW(a.ElementAt(3), CInvalidArgException);
    EXPECT_THROW(a.SetAt(3, Value()), CInvalidArgException);
    EXPECT_THROW(a.RemoveAt(3), CInvalidArgException);
    EXPECT_THROW(a.RemoveAt(1, 3), CInvalidArgException);
    EXPECT_THROW(a.RemoveAt(0, -1), CInvalidArgException);
    EXPECT_THROW(a.InsertAt(-1, Value()), CInvalidArgException);
    EXPECT_THROW(a.SetSize(-1), CInvalidArgException);
    EXPECT_EQ(3, a.GetSize());
    EXPECT_TRUE(a.GetAt(2) == TestFixture::Traits::Make(2));
}

TYPED_TEST(ArrayConformance, AddInsertAndRemoveKeepOrder)
{
    typedef typename TestFixture::Traits Traits;
    typedef typename TestFixture::Value Value;
    TypeParam a;
    EXPECT_EQ(0, a.Add(Traits::Make(0)));
    EXPECT_EQ(1, a.Add(Traits::Make(3)));
    a.InsertAt(1, Traits::Make(1), 2); // 0 1 1 3
    a.SetAt(2, Traits::Make(2));       // 0 1 2 3
    a.InsertAt(6, Traits::Make(6));    // 0 1 2 3 _ _ 6
    ASSERT_EQ(7, a.GetSize());
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(a[i] == Traits::Make(i)) << i;
    EXPECT_TRUE(a[4] == Value());
    EXPECT_TRUE(a[6] == Traits::Make(6));
    a.RemoveAt(1, 4); // 0 _ 6
    ASSERT_EQ(3, a.GetSize());
    EXPECT_TRUE(a[0] == Traits::Make(0));
    EXPECT_TRUE(a[2] == Traits::Make(6));

    // Adding an element of the array itself survives the reallocation.
    TypeParam b;
    b.SetSize(0, 1);
    b.Add(Traits::Make(9));
    for (int i = 0; i < 20; ++i)
        b.Add(b[0]);
    for (int i = 0; i < 21; ++i)
        EXPECT_TRUE(b[i] == Traits::Make(9));
}

TYPED_TEST(ArrayConformance, GrowByDecidesWhenStorageMoves)
{
    TypeParam fixedStep;
    fixedStep.SetSize(0, 100);
    fixedStep.Add(TestFixture::Traits::Make(0));
    const void* pFirst = fixedStep.GetData();
    TestFixture::Fill(fixedStep, 99);
    EXPECT_EQ(pFirst, fixedStep.GetData());

    TypeParam automatic;
    int nMoves = 0;
    const void* pLast = nullptr;
    for (int i = 0; i < 2000; ++i)
    {
        automatic.Add(TestFixture::Traits::Make(i));
        nMoves += automatic.GetData() != pLast ? 1 : 0;
        pLast = automatic.GetData();
    }
    EXPECT_LT(nMoves, 60);
    automatic.FreeExtra();
    EXPECT_EQ(2000, automatic.GetSize());
    EXPECT_TRUE(automatic[1999] == TestFixture::Traits::Make(1999));
}

TYPED_TEST(ArrayConformance, FailedGrowthLeavesTheArrayIntact)
{
    TypeParam a;
    TestFixture::Fill(a, 4);
    a.FreeExtra();
    AfxFailAllocationAfter(0);
    EXPECT_THROW(a.SetSize(50), CMemoryException);
    EXPECT_EQ(4, a.GetSize());
    EXPECT_TRUE(a[3] == TestFixture::Traits::Make(3));
}

class ArrayRecords : public CPlatformTest
{
};

TEST_F(ArrayRecords, DWordArrayRecord)
{
    CDWordArray a;
    EXPECT_EQ(Bytes().U16(0).Get(), StoreBytes([&](CArchive& ar) { a.Serialize(ar); }));
    a.Add(1);
    a.Add(2);
    a.Add(0xFFFFFFFF);
    const CByteVector expected = Bytes().U16(3).U32(1).U32(2).U32(0xFFFFFFFF);
    EXPECT_EQ(expected, StoreBytes([&](CArchive& ar) { a.Serialize(ar); }));

    CDWordArray loaded;
    loaded.SetSize(10);
    CLoader loader(expected);
    loaded.Serialize(loader.Ar());
    ASSERT_EQ(3, loaded.GetSize());
    EXPECT_EQ(0xFFFFFFFFu, loaded[2]);
}

TEST_F(ArrayRecords, SixtyFourBitArrayRecordAndLongCount)
{
    CArray<ULONGLONG, ULONGLONG> a;
    a.Add(1);
    EXPECT_EQ(Bytes().U16(1).U64(1).Get(), StoreBytes([&](CArchive& ar) { a.Serialize(ar); }));

    a.SetSize(0xFFFF);
    a[0xFFFE] = 0x8000000000000001ull;
    CByteVector bytes = StoreBytes([&](CArchive& ar) { a.Serialize(ar); });
    ASSERT_EQ(6u + 8u * 0xFFFF, bytes.size());
    EXPECT_EQ(Bytes().U16(0xFFFF).U32(0xFFFF).Get(), CByteVector(bytes.begin(), bytes.begin() + 6));

    CArray<ULONGLONG, ULONGLONG> loaded;
    CLoader loader(bytes);
    loaded.Serialize(loader.Ar());
    ASSERT_EQ(0xFFFF, loaded.GetSize());
    EXPECT_EQ(1u, loaded[0]);
    EXPECT_EQ(0x8000000000000001ull, loaded[0xFFFE]);
}

TEST_F(ArrayRecords, StringArrayRecord)
{
    CArray<CString> a;
    a.Add("x");
    a.Add(CString());
    const CByteVector expected = Bytes().U16(2).U8(1).Raw("x").U8(0);
    EXPECT_EQ(expected, StoreBytes([&](CArchive& ar) { a.Serialize(ar); }));
    CArray<CString> loaded;
    CLoader loader(expected);
    loaded.Serialize(loader.Ar());
    ASSERT_EQ(2, loaded.GetSize());
    EXPECT_TRUE(loaded[0] == "x");
}

} // namespace
