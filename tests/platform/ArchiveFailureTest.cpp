// Where each archive failure belongs, and that failing loads leave nothing
// behind: no leak, no object still reachable through the archive.
#include "TestSupport.h"

#include <cstring>
#include <memory>
#include <set>

namespace
{

class ArchiveFailure : public CPlatformTest
{
};

TEST_F(ArchiveFailure, WrongDirectionRaisesReadOnlyOrWriteOnly)
{
    CByteVector bytes = Bytes().Fill(16, 0);
    CTestItem item;
    const std::function<void(CArchive&)> aStores[] = {
        [](CArchive& ar) { ar << static_cast<BYTE>(1); },
        [](CArchive& ar) { ar << CString("x"); },
        [](CArchive& ar) { ar.WriteCount(1); },
        [&](CArchive& ar) { ar.WriteObject(&item); },
        [](CArchive& ar) { ar.Write("x", 1); },
    };
    const std::function<void(CArchive&)> aLoads[] = {
        [](CArchive& ar)
        {
            WORD w;
            ar >> w;
        },
        [](CArchive& ar)
        {
            CString s;
            ar >> s;
        },
        [](CArchive& ar) { ar.ReadCount(); },
        [](CArchive& ar) { delete ar.ReadObject(nullptr); },
        [](CArchive& ar)
        {
            BYTE ab[1];
            ar.Read(ab, 1);
        },
    };
    for (const auto& store : aStores)
    {
        CLoader loader(bytes);
        EXPECT_EQ(CArchiveException::readOnly, ArchiveCauseOf([&] { store(loader.Ar()); }));
    }
    for (const auto& load : aLoads)
    {
        CMemFile file;
        CArchive ar(&file, CArchive::store);
        EXPECT_EQ(CArchiveException::writeOnly, ArchiveCauseOf([&] { load(ar); }));
    }
}

TEST_F(ArchiveFailure, BulkReadReturnsShortButFieldReadsRaiseEndOfFile)
{
    CLoader loader(Bytes().U8(1).U8(2).U8(3));
    BYTE ab[8] = {};
    EXPECT_EQ(2u, loader.Ar().Read(ab, 2));
    EXPECT_EQ(1u, loader.Ar().Read(ab, 8));
    EXPECT_EQ(0u, loader.Ar().Read(ab, 8));

    CLoader oneByte(Bytes().U8(1));
    EXPECT_EQ(CArchiveException::endOfFile, ArchiveCauseOf(
                                                [&]
                                                {
                                                    WORD w;
                                                    oneByte.Ar() >> w;
                                                }));
    CLoader empty(CByteVector{});
    EXPECT_EQ(CArchiveException::endOfFile, ArchiveCauseOf([&] { empty.Ar().ReadExact(ab, 1); }));
}

CByteVector NewClass(LPCSTR pszName, unsigned nSchema, size_t nNameLength = 0)
{
    std::string strName(pszName, nNameLength != 0 ? nNameLength : std::strlen(pszName));
    return Bytes().U16(0xFFFF).U16(nSchema).U16(static_cast<unsigned>(strName.size())).Raw(strName);
}

// Reads objects until one fails; returns its cause.
int ReadObjectCause(const CByteVector& bytes, const CRuntimeClass* pRequested)
{
    CLoader loader(bytes);
    std::set<CObject*> loaded;
    int nCause = ArchiveCauseOf(
        [&]
        {
            for (;;)
                loaded.insert(loader.Ar().ReadObject(pRequested));
        });
    for (CObject* pOb : loaded)
        delete pOb;
    return nCause;
}

TEST_F(ArchiveFailure, ReadObjectRejectsBadClassesSchemasAndIndexes)
{
    const CByteVector item = StoreBytes([](CArchive& ar) { ar << CString("i") << 5; });
    auto classThenItem = [&](const CByteVector& head) { return Concat(head, item); };
    struct
    {
        const char* pszCase;
        CByteVector bytes;
        const CRuntimeClass* pRequested;
        int nCause;
    } const aCases[] = {
        {"unknown class", NewClass("CNoSuchClass", 1), nullptr, CArchiveException::badClass},
        {"registered prefix with NUL", NewClass("CTestItem\0x", 1, 11), nullptr,
         CArchiveException::badClass},
        {"not registered (dynamic only)", NewClass("CTestDynamic", 1), nullptr,
         CArchiveException::badClass},
        {"not the requested class", classThenItem(NewClass("CTestItem", 1)),
         RUNTIME_CLASS(CTestBag), CArchiveException::badClass},
        {"schema mismatch", classThenItem(NewClass("CTestItem", 2)), nullptr,
         CArchiveException::badSchema},
        {"object index never loaded", Bytes().U16(5), nullptr, CArchiveException::badIndex},
        {"long object index never loaded", Bytes().U16(0x7FFF).U32(0x12345), nullptr,
         CArchiveException::badIndex},
        {"class index 0", Bytes().U16(0x8000), nullptr, CArchiveException::badIndex},
        {"class index never loaded", Bytes().U16(0x8003), nullptr, CArchiveException::badIndex},
    };
    for (const auto& c : aCases)
    {
        SCOPED_TRACE(c.pszCase);
        EXPECT_EQ(c.nCause, ReadObjectCause(c.bytes, c.pRequested));
    }

    CLoader loader(Concat(classThenItem(NewClass("CTestItem", 1)), Bytes().U16(2)));
    std::unique_ptr<CObject> pItem(loader.Ar().ReadObject(RUNTIME_CLASS(CTestItem)));
    EXPECT_EQ(CArchiveException::badClass,
              ArchiveCauseOf([&] { loader.Ar().ReadObject(RUNTIME_CLASS(CTestBag)); }));

    // Index 1 is the class, index 2 the object: a reference to either as the
    // other kind is a bad index.
    CByteVector loaded = classThenItem(NewClass("CTestItem", 1));
    EXPECT_EQ(CArchiveException::badIndex,
              ReadObjectCause(Concat(loaded, Bytes().U16(0x8002)), nullptr));
    EXPECT_EQ(CArchiveException::badIndex,
              ReadObjectCause(Concat(loaded, Bytes().U16(1)), nullptr));
}

TEST_F(ArchiveFailure, TruncationAtEveryOffsetRaisesEndOfFile)
{
    CByteVector full = MakeBagArchive();
    for (size_t nCut = 0; nCut < full.size(); ++nCut)
    {
        SCOPED_TRACE(nCut);
        CLoader loader(CByteVector(full.begin(), full.begin() + nCut));
        EXPECT_EQ(CArchiveException::endOfFile,
                  ArchiveCauseOf([&] { delete loader.Ar().ReadObject(nullptr); }));
    }
}

TEST_F(ArchiveFailure, HostileLengthsAndCountsFailBeforeAllocating)
{
    // Any huge allocation would surface as CMemoryException, not endOfFile.
    const CByteVector aStrings[] = {
        Bytes().U8(0xFF).U16(0xFFFF).U32(0xFFFFFFF0).Raw("abc"),
        Bytes().U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFF).U64(0xFFFFFFFFFFFFFFF0ull).Raw("abc"),
        Bytes().U8(0xFF).U16(0xFFFE).U8(0xFF).U16(0xFFFF).U32(0x7FFFFFF0).Raw("ab"),
        Bytes().U8(0xFF).U16(0xFFFE).U8(2).U16('a'),
        Bytes().U8(0xFF).U16(0xFFFE).U8(0xFF).U16(0xFFFE).U8(0),
    };
    for (const CByteVector& bytes : aStrings)
    {
        CLoader loader(bytes);
        CString str("unchanged");
        int nCause = ArchiveCauseOf([&] { loader.Ar() >> str; });
        EXPECT_TRUE(nCause == CArchiveException::endOfFile ||
                    nCause == CArchiveException::genericException)
            << nCause;
        EXPECT_TRUE(str == "unchanged");
    }

    const CByteVector aArrays[] = {
        Bytes().U16(0xFFFF).U32(0x7FFFFFFF).U32(1).U32(2),
        Bytes().U16(0xFFFF).U32(0xFFFFFFFF).U64(0x4000000000000001ull).U32(1),
        Bytes().U16(3).U32(1).U32(2).U16(0),
    };
    for (const CByteVector& bytes : aArrays)
    {
        CLoader loader(bytes);
        CDWordArray dwords;
        EXPECT_EQ(CArchiveException::endOfFile,
                  ArchiveCauseOf([&] { dwords.Serialize(loader.Ar()); }));
        CLoader loader64(bytes);
        CArray<ULONGLONG, ULONGLONG> qwords;
        EXPECT_EQ(CArchiveException::endOfFile,
                  ArchiveCauseOf([&] { qwords.Serialize(loader64.Ar()); }));
    }

    CLoader nameLoader(Bytes().U16(0xFFFF).U16(1).U16(0xFFFF).Raw("CTestItem"));
    EXPECT_EQ(CArchiveException::endOfFile,
              ArchiveCauseOf([&] { delete nameLoader.Ar().ReadObject(nullptr); }));
}

TEST_F(ArchiveFailure, ThrowingSerializeDeletesTheObjectAndRetiresItsIndex)
{
    // Failing object (class 1, object 2), then a back-reference to it.
    CByteVector bytes = Bytes().U16(0xFFFF).U16(1).U16(12).Raw("CTestFailing").U8(1).U16(2);
    CLoader loader(bytes);
    EXPECT_EQ(CArchiveException::genericException,
              ArchiveCauseOf([&] { delete loader.Ar().ReadObject(nullptr); }));
    EXPECT_EQ(CArchiveException::badIndex,
              ArchiveCauseOf([&] { delete loader.Ar().ReadObject(nullptr); }));
}

TEST_F(ArchiveFailure, FailureInsideANestedObjectRetiresEverythingLoadedWithIt)
{
    // A bag whose second item is a failing object: the bag, its first item
    // and the failing object are gone, and none of them can be referred to.
    CTestBag bag;
    bag.m_aItems.Add(new CTestItem("first", 1));
    bag.m_aItems.Add(new CTestFailing);
    CByteVector bytes = StoreBytes([&](CArchive& ar) { ar << &bag; });
    delete static_cast<CObject*>(bag.m_aItems[1]);
    bag.m_aItems.RemoveAt(1);

    // Indexes: bag class 1, bag 2, item class 3, first item 4, failing class
    // 5, failing object 6. The reference replaces the bag's last 6 bytes
    // (alias, map and array), which the failed load never reached.
    ASSERT_GT(bytes.size(), 6u);
    bytes.resize(bytes.size() - 6);
    for (unsigned nIndex : {2u, 4u, 6u})
    {
        SCOPED_TRACE(nIndex);
        CLoader loader(Concat(bytes, Bytes().U16(nIndex)));
        EXPECT_EQ(CArchiveException::genericException,
                  ArchiveCauseOf([&] { delete loader.Ar().ReadObject(nullptr); }));
        EXPECT_EQ(CArchiveException::badIndex,
                  ArchiveCauseOf([&] { delete loader.Ar().ReadObject(nullptr); }));
    }
}

TEST_F(ArchiveFailure, EveryFailedAllocationDuringALoadRaisesMemoryAndLeaksNothing)
{
    CByteVector bytes = MakeBagArchive();
    INT_PTR nLiveBefore = AfxLiveAllocationCount();
    for (int k = 0;; ++k)
    {
        SCOPED_TRACE(k);
        ASSERT_LT(k, 1000) << "the load never succeeded";
        CLoader loader(bytes);
        AfxFailAllocationAfter(k);
        try
        {
            delete loader.Ar().ReadObject(RUNTIME_CLASS(CTestBag));
            AfxFailAllocationAfter(-1);
            ASSERT_GT(k, 3);
            break;
        }
        catch (CMemoryException&)
        {
        }
        AfxFailAllocationAfter(-1);
    }
    EXPECT_EQ(nLiveBefore, AfxLiveAllocationCount());
}

} // namespace
