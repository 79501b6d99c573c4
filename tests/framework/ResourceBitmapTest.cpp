// CResourceBitmap: the record both ways (colour and monochrome), hostile and
// truncated records, the shared-release rules over the class-wide caches,
// the last instance's clean-up, the one-time widening and the instance lock.
#include "ResourceBitmapTestSupport.h"

#include "WinApp.h"

#include <atomic>
#include <climits>
#include <optional>
#include <thread>

namespace
{

class ResourceBitmapTest : public CPlatformTest
{
protected:
    void SetUp() override
    {
        CPlatformTest::SetUp();
        ASSERT_TRUE(CTestBitmap::ResetClassStateForTest()) << "an instance outlived its test";
    }
};

// Distinct bytes in every channel, so swapped or shifted rows show.
CPixels Pattern(int nWidth, int nHeight)
{
    CPixels pixels;
    for (int i = 0; i < nWidth * nHeight; ++i)
        pixels.push_back((0x102030u + 0x1F3D5Bu * static_cast<DWORD>(i)) & 0xFFFFFFu);
    return pixels;
}

CPixels BlackAndWhite(int nWidth, int nHeight)
{
    CPixels pixels;
    for (int i = 0; i < nWidth * nHeight; ++i)
        pixels.push_back(i % 3 == 0 ? 0xFFFFFFu : 0);
    return pixels;
}

void ExpectDimensionIsPixelSize(HBITMAP hBitmap, int nWidth, int nHeight)
{
    SIZE size = {-1, -1};
    ASSERT_TRUE(::GetBitmapDimensionEx(hBitmap, &size));
    EXPECT_EQ(nWidth, size.cx);
    EXPECT_EQ(nHeight, size.cy);
}

void Load(CResourceBitmap& bitmap, const CByteVector& record)
{
    CLoader loader(record);
    bitmap.Serialize(loader.Ar());
    EXPECT_EQ(0u, loader.Remaining());
}

TEST_F(ResourceBitmapTest, CreatedByNameAndEmptyWritesFourZeroBytesThatReadBackEmpty)
{
    const CRuntimeClass* pClass = CRuntimeClass::FromName("CResourceBitmap");
    ASSERT_NE(nullptr, pClass);
    EXPECT_EQ(1u, pClass->m_wSchema);
    EXPECT_STREQ("CObject", pClass->m_pBaseClass->m_lpszClassName);
    std::unique_ptr<CObject> pOb(pClass->CreateObject());
    const CByteVector empty = Bytes().U32(0);
    EXPECT_EQ(empty, StoreRecord(static_cast<CResourceBitmap&>(*pOb)));

    // An empty record also empties an instance that held a bitmap.
    CTestBitmap bitmap;
    bitmap.AttachHandle(MakeScreenBitmap(1, 1, {0xFF0000}));
    HBITMAP hOld = bitmap.Handle();
    Load(bitmap, empty);
    EXPECT_FALSE(IsLiveBitmap(hOld));
    EXPECT_EQ(nullptr, bitmap.Handle());
    EXPECT_EQ(empty, StoreRecord(bitmap));
}

TEST_F(ResourceBitmapTest, ColourRecordBytesAndRoundTrip)
{
    struct
    {
        int nWidth, nHeight;
        DWORD nDataSize; // rows of 3 * width bytes, padded to 4
    } const cases[] = {
        {1, 1, 4}, {10, 3, 96}, {4, 1, 12}, {5, 2, 32}, {3, 4, 48},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.nWidth << " x " << c.nHeight);
        const CPixels pixels = Pattern(c.nWidth, c.nHeight);
        CTestBitmap bitmap;
        bitmap.AttachHandle(MakeScreenBitmap(c.nWidth, c.nHeight, pixels));
        const BITMAP bm = BitmapInfoOf(bitmap.Handle());
        const CByteVector expected =
            Concat(RecordHeader(c.nDataSize, 0, c.nWidth, c.nHeight, bm.bmWidthBytes, 1,
                                static_cast<WORD>(ScreenBitsPerPixel()), 0),
                   DibRows(c.nWidth, c.nHeight, pixels));
        ASSERT_EQ(28u + c.nDataSize, expected.size());
        EXPECT_EQ(expected, StoreRecord(bitmap));

        CTestBitmap loaded;
        Load(loaded, expected);
        ASSERT_NE(nullptr, loaded.Handle());
        EXPECT_TRUE(loaded.OwnsBitmap());
        EXPECT_EQ(pixels, ReadPixels(loaded.Handle()));
        EXPECT_EQ(ScreenBitsPerPixel(), BitmapInfoOf(loaded.Handle()).bmBitsPixel);
        ExpectDimensionIsPixelSize(loaded.Handle(), c.nWidth, c.nHeight);
    }
}

TEST_F(ResourceBitmapTest, MonochromeIsStoredAs24BitAndComesBackMonochrome)
{
    const CPixels pixels = BlackAndWhite(9, 2);
    CTestBitmap bitmap;
    bitmap.AttachHandle(MakeMonoBitmap(9, 2, pixels));
    const CByteVector expected =
        Concat(RecordHeader(2 * 28, 0, 9, 2, BitmapInfoOf(bitmap.Handle()).bmWidthBytes, 1, 1, 0),
               DibRows(9, 2, pixels));
    EXPECT_EQ(expected, StoreRecord(bitmap));

    CTestBitmap loaded;
    Load(loaded, expected);
    ASSERT_NE(nullptr, loaded.Handle());
    EXPECT_EQ(1, BitmapInfoOf(loaded.Handle()).bmBitsPixel);
    EXPECT_EQ(pixels, ReadPixels(loaded.Handle()));
    ExpectDimensionIsPixelSize(loaded.Handle(), 9, 2);
}

// Fields that a bitmap of this class never writes, but that a record may
// carry: they must neither be trusted nor stop the load.
TEST_F(ResourceBitmapTest, BitsFieldAndSurplusPixelBytesAreIgnored)
{
    const CPixels colour = Pattern(2, 2);
    const CPixels mono = BlackAndWhite(2, 2);
    struct
    {
        const char* pszName;
        CByteVector record;
        const CPixels& pixels;
        int nBitsPixel;
    } const cases[] = {
        {"colour, bits field set",
         Concat(RecordHeader(16, 0, 2, 2, 8, 1, 32, 0xDEADBEEF), DibRows(2, 2, colour)), colour,
         ScreenBitsPerPixel()},
        {"monochrome, bits field set",
         Concat(RecordHeader(16, 0, 2, 2, 2, 1, 1, 0x00001000), DibRows(2, 2, mono)), mono, 1},
        {"colour, five surplus bytes",
         Concat(Concat(RecordHeader(21, 0, 2, 2, 8, 1, 32, 0), DibRows(2, 2, colour)),
                Bytes().Fill(5, 0xEE)),
         colour, ScreenBitsPerPixel()},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CTestBitmap bitmap;
        Load(bitmap, c.record);
        ASSERT_NE(nullptr, bitmap.Handle());
        EXPECT_EQ(c.nBitsPixel, BitmapInfoOf(bitmap.Handle()).bmBitsPixel);
        EXPECT_EQ(c.pixels, ReadPixels(bitmap.Handle()));
    }
}

TEST_F(ResourceBitmapTest, EveryTruncationFailsWithEndOfFile)
{
    for (BOOL bMono : {FALSE, TRUE})
    {
        CTestBitmap bitmap;
        bitmap.AttachHandle(bMono ? MakeMonoBitmap(3, 2, BlackAndWhite(3, 2))
                                  : MakeScreenBitmap(3, 2, Pattern(3, 2)));
        ExpectEveryTruncationFails<CResourceBitmap>(StoreRecord(bitmap));
    }
}

// Refused before anything is allocated (the first allocation would fail),
// after the previous bitmap was released.
TEST_F(ResourceBitmapTest, HostileRecordsAreRefusedWithoutAllocating)
{
    const int nGeneric = CArchiveException::genericException;
    const int nEnd = CArchiveException::endOfFile;
    const CByteVector four = Bytes().Fill(4, 0x55);
    struct
    {
        const char* pszName;
        CByteVector record;
        int nCause;
    } const cases[] = {
        {"negative width", Concat(RecordHeader(4, 0, -1, 1, 4, 1, 32, 0), four), nGeneric},
        {"negative height", Concat(RecordHeader(4, 0, 1, -1, 4, 1, 32, 0), four), nGeneric},
        {"most negative width", Concat(RecordHeader(4, 0, INT_MIN, 1, 4, 1, 32, 0), four),
         nGeneric},
        {"zero width with data", Concat(RecordHeader(4, 0, 0, 1, 0, 1, 32, 0), four), nGeneric},
        {"zero height with data", Concat(RecordHeader(4, 0, 1, 0, 4, 1, 32, 0), four), nGeneric},
        {"width above 65535", Concat(RecordHeader(4, 0, 65536, 1, 4, 1, 32, 0), four), nGeneric},
        {"height above 65535", Concat(RecordHeader(4, 0, 1, 65536, 4, 1, 1, 0), four), nGeneric},
        {"1 x 1 with 3 bytes", Concat(RecordHeader(3, 0, 1, 1, 4, 1, 32, 0), four), nEnd},
        {"10 x 3 with 95 bytes",
         Concat(RecordHeader(95, 0, 10, 3, 40, 1, 32, 0), Bytes().Fill(96, 0)), nEnd},
        {"65535 x 65535 with 4 bytes",
         Concat(RecordHeader(4, 0, 65535, 65535, 262140, 1, 1, 0), four), nEnd},
        {"size beyond the archive", Concat(RecordHeader(0xFFFFFFFF, 0, 1, 1, 4, 1, 32, 0), four),
         nEnd},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CTestBitmap bitmap;
        bitmap.AttachHandle(MakeScreenBitmap(1, 1, {0x123456}));
        HBITMAP hOld = bitmap.Handle();
        const INT_PTR nLiveBefore = AfxLiveAllocationCount();
        CLoader loader(c.record);
        AfxFailAllocationAfter(0);
        EXPECT_EQ(c.nCause, ArchiveCauseOf([&] { bitmap.Serialize(loader.Ar()); }));
        AfxFailAllocationAfter(-1);
        EXPECT_EQ(nLiveBefore, AfxLiveAllocationCount());
        EXPECT_FALSE(IsLiveBitmap(hOld));
        EXPECT_EQ(nullptr, bitmap.Handle());
        EXPECT_EQ(Bytes().U32(0).Get(), StoreRecord(bitmap));
    }
}

TEST_F(ResourceBitmapTest, StoringASideAbove65535IsRefusedAndWritesNothing)
{
    for (SIZE size : {SIZE{65536, 1}, SIZE{1, 65536}})
    {
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        CTestBitmap bitmap;
        bitmap.AttachHandle(::CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
        ASSERT_NE(nullptr, bitmap.Handle()) << "GDI made no such bitmap";
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            EXPECT_EQ(CArchiveException::genericException,
                      ArchiveCauseOf([&] { bitmap.Serialize(ar); }));
        }
        EXPECT_EQ(0u, file.GetLength());
    }
}

TEST_F(ResourceBitmapTest, MakeBitmapInfoBytes)
{
    struct
    {
        WORD nWidth, nHeight;
        DWORD nImageSize;
    } const cases[] = {
        {1, 1, 4},
        {10, 3, 96},
        {65535, 1, 196608},
        {0, 7, 0},
        {65535, 65535, 0xFFFD0000}, // 0x2FFFD0000 in 32 bits
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.nWidth << " x " << c.nHeight);
        BITMAPINFO* pInfo = MakeBitmapInfo(c.nWidth, c.nHeight);
        const BYTE* pb = reinterpret_cast<const BYTE*>(pInfo);
        const CByteVector expected = Bytes()
                                         .U32(40)
                                         .U32(c.nWidth)
                                         .U32(c.nHeight)
                                         .U16(1)
                                         .U16(24)
                                         .U32(BI_RGB)
                                         .U32(c.nImageSize)
                                         .Fill(16 + 4, 0);
        EXPECT_EQ(expected, CByteVector(pb, pb + sizeof(BITMAPINFO)));
        AfxFreeMemory(pInfo);
    }
}

TEST_F(ResourceBitmapTest, AttachHandleReplacesTheOwnHandle)
{
    CTestBitmap bitmap;
    HBITMAP hFirst = MakeScreenBitmap(3, 2, Pattern(3, 2));
    bitmap.AttachHandle(hFirst);
    CBitmap* pOwn = bitmap.Bitmap();
    EXPECT_TRUE(bitmap.OwnsBitmap());
    EXPECT_EQ(hFirst, bitmap.Handle());
    ExpectDimensionIsPixelSize(hFirst, 3, 2);

    HBITMAP hSecond = MakeScreenBitmap(5, 4, Pattern(5, 4));
    bitmap.AttachHandle(hSecond);
    EXPECT_EQ(pOwn, bitmap.Bitmap());
    EXPECT_FALSE(IsLiveBitmap(hFirst));
    ExpectDimensionIsPixelSize(hSecond, 5, 4);

    // GDI's failure to make a bitmap arrives as a null handle.
    bitmap.AttachHandle(nullptr);
    EXPECT_FALSE(IsLiveBitmap(hSecond));
    EXPECT_EQ(pOwn, bitmap.Bitmap());
    EXPECT_EQ(Bytes().U32(0).Get(), StoreRecord(bitmap));

    HBITMAP hThird = MakeScreenBitmap(1, 1, {0});
    bitmap.AttachHandle(hThird);
    EXPECT_TRUE(bitmap.ReleaseBitmap());
    EXPECT_FALSE(IsLiveBitmap(hThird));
    EXPECT_EQ(pOwn, bitmap.Bitmap());
    EXPECT_TRUE(bitmap.OwnsBitmap());
}

TEST_F(ResourceBitmapTest, CacheHooksKeepOneEntryPerHandle)
{
    CTestBitmap holder;
    HBITMAP hBitmap = MakeScreenBitmap(1, 1, {0});
    HBITMAP hOther = MakeScreenBitmap(1, 1, {0});
    CBitmap* pCached = CTestBitmap::CacheBitmapForTest(4, hBitmap);
    ASSERT_NE(nullptr, pCached);
    EXPECT_EQ(0, CTestBitmap::UseCount(hBitmap));
    EXPECT_EQ(nullptr, CTestBitmap::CacheBitmapForTest(5, hBitmap));
    EXPECT_EQ(nullptr, CTestBitmap::CacheBitmapForTest("again", hBitmap));
    EXPECT_EQ(nullptr, CTestBitmap::CacheBitmapForTest(4, hOther));
    EXPECT_EQ(nullptr, CTestBitmap::CacheBitmapForTest(6, nullptr));
    CBitmap uncached;
    EXPECT_FALSE(holder.HoldCachedBitmapForTest(&uncached));

    EXPECT_TRUE(holder.HoldCachedBitmapForTest(pCached));
    EXPECT_TRUE(holder.HoldCachedBitmapForTest(pCached));
    EXPECT_EQ(1, CTestBitmap::UseCount(hBitmap));
    EXPECT_FALSE(holder.OwnsBitmap());
    ::DeleteObject(hOther);
}

TEST_F(ResourceBitmapTest, ThreeHoldersReleaseASharedBitmap)
{
    for (BOOL bByName : {FALSE, TRUE})
    {
        SCOPED_TRACE(bByName ? "cached by name" : "cached by identifier");
        CTestBitmap keeper;
        HBITMAP hBitmap = MakeScreenBitmap(2, 2, Pattern(2, 2));
        CBitmap* pShared = bByName ? CTestBitmap::CacheBitmapForTest("Logo", hBitmap)
                                   : CTestBitmap::CacheBitmapForTest(7, hBitmap);
        ASSERT_NE(nullptr, pShared);
        CTestBitmap holders[3];
        for (CTestBitmap& holder : holders)
            ASSERT_TRUE(holder.HoldCachedBitmapForTest(pShared));
        EXPECT_EQ(3, CTestBitmap::UseCount(hBitmap));

        for (int nLeft : {2, 1})
        {
            EXPECT_TRUE(holders[2 - nLeft].ReleaseBitmap());
            EXPECT_EQ(nullptr, holders[2 - nLeft].Bitmap());
            EXPECT_EQ(nLeft, CTestBitmap::UseCount(hBitmap));
            EXPECT_TRUE(IsLiveBitmap(hBitmap));
        }
        EXPECT_TRUE(holders[2].ReleaseBitmap());
        EXPECT_EQ(nullptr, holders[2].Bitmap());
        EXPECT_EQ(-1, CTestBitmap::UseCount(hBitmap));
        EXPECT_EQ(0,
                  CTestBitmap::s_bitmapsById.GetCount() + CTestBitmap::s_bitmapsByName.GetCount());
        EXPECT_FALSE(IsLiveBitmap(hBitmap));
    }
}

// Neither may leave a count for a holder that has moved on.
TEST_F(ResourceBitmapTest, AttachingOrLoadingReleasesASharedHold)
{
    const CByteVector record = Concat(RecordHeader(4, 0, 1, 1, 4, 1, 32, 0), Bytes().Fill(4, 0));
    for (BOOL bLoad : {FALSE, TRUE})
    {
        SCOPED_TRACE(bLoad ? "load" : "AttachHandle");
        CTestBitmap keeper, holder;
        HBITMAP hShared = MakeScreenBitmap(1, 1, {0});
        CBitmap* pShared = CTestBitmap::CacheBitmapForTest(3, hShared);
        ASSERT_TRUE(keeper.HoldCachedBitmapForTest(pShared));
        ASSERT_TRUE(holder.HoldCachedBitmapForTest(pShared));
        if (bLoad)
            Load(holder, record);
        else
            holder.AttachHandle(MakeScreenBitmap(1, 1, {0}));
        EXPECT_TRUE(holder.OwnsBitmap());
        EXPECT_NE(hShared, holder.Handle());
        EXPECT_EQ(1, CTestBitmap::UseCount(hShared));
        EXPECT_TRUE(IsLiveBitmap(hShared));
    }
}

TEST_F(ResourceBitmapTest, LastInstanceDeletesEveryCachedBitmapAndEmptiesTheCaches)
{
    HBITMAP hHeld = MakeScreenBitmap(1, 1, {0});
    HBITMAP hById = MakeScreenBitmap(1, 1, {0});
    HBITMAP hByName = MakeScreenBitmap(1, 1, {0});
    {
        CTestBitmap holder;
        ASSERT_TRUE(holder.HoldCachedBitmapForTest(CTestBitmap::CacheBitmapForTest(1, hHeld)));
        ASSERT_NE(nullptr, CTestBitmap::CacheBitmapForTest(2, hById));
        ASSERT_NE(nullptr, CTestBitmap::CacheBitmapForTest("Unheld", hByName));
        {
            CTestBitmap other;
        }
        EXPECT_TRUE(IsLiveBitmap(hById)) << "deleted while an instance lives";
        EXPECT_TRUE(IsLiveBitmap(hByName));
    }
    EXPECT_EQ(0, CTestBitmap::s_nInstances);
    EXPECT_FALSE(IsLiveBitmap(hHeld));
    EXPECT_FALSE(IsLiveBitmap(hById));
    EXPECT_FALSE(IsLiveBitmap(hByName));
    EXPECT_EQ(0, CTestBitmap::s_bitmapsById.GetCount());
    EXPECT_EQ(0, CTestBitmap::s_bitmapsByName.GetCount());
    EXPECT_EQ(0, CTestBitmap::s_useCounts.GetCount());

    // A later last instance finds nothing left to delete a second time.
    {
        CTestBitmap later;
    }
    EXPECT_EQ(0, CTestBitmap::s_bitmapsById.GetCount() + CTestBitmap::s_bitmapsByName.GetCount());
}

TEST_F(ResourceBitmapTest, FirstConstructionWidensOnlyOnTheApplicationThread)
{
    struct
    {
        const char* pszName;
        bool bApplication;
        bool bFirstOnOtherThread;
        UINT nBuckets;
    } const cases[] = {
        {"application thread", true, false, 100},
        {"another thread first", true, true, 17},
        {"no application object", false, false, 17},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        ASSERT_TRUE(CTestBitmap::ResetClassStateForTest());
        std::optional<CWinApp> app;
        if (c.bApplication)
            app.emplace();
        if (c.bFirstOnOtherThread)
            std::thread([] { CTestBitmap bitmap; }).join();
        {
            CTestBitmap bitmap;
        }
        EXPECT_FALSE(CTestBitmap::s_bFirstConstruction);
        EXPECT_EQ(c.nBuckets, CTestBitmap::s_bitmapsByName.GetHashTableSize());
        EXPECT_EQ(c.nBuckets, CTestBitmap::s_bitmapsById.GetHashTableSize());
        EXPECT_EQ(c.nBuckets, CTestBitmap::s_useCounts.GetHashTableSize());
    }
}

// Unlocked, racing threads lose counts: the total drifts, or reaches 0 early
// and deletes the cached bitmap under the keeper.
TEST_F(ResourceBitmapTest, InstanceCountHoldsUnderConcurrentConstruction)
{
    CTestBitmap keeper;
    HBITMAP hCached = MakeScreenBitmap(1, 1, {0});
    ASSERT_NE(nullptr, CTestBitmap::CacheBitmapForTest(9, hCached));
    std::atomic<int> nReady(0);
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
    {
        threads.emplace_back(
            [&nReady]
            {
                // All start together, or each may finish before the next begins.
                ++nReady;
                while (nReady.load() < 4)
                    std::this_thread::yield();
                for (int n = 0; n < 500000; ++n)
                    CTestBitmap bitmap;
            });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(1, CTestBitmap::s_nInstances);
    EXPECT_TRUE(IsLiveBitmap(hCached));
    EXPECT_EQ(1, CTestBitmap::s_bitmapsById.GetCount());
}

} // namespace
