// CMapStringToStringEx and CMapDWordToString: class records and the
// platform record, which merges on loading.
#include "MapStringToStringEx.h"

#include "RecordTestSupport.h"

namespace
{

class StringStringMapTest : public CPlatformTest
{
};

TEST_F(StringStringMapTest, ByReferenceRoundTripMergesIntoWhatTheMapHolds)
{
    struct
    {
        LPCSTR pszClass;
        LPCSTR pszBase;
    } const cases[] = {
        {"CMapStringToStringEx", "CMapStringToString"},
        {"CMapDWordToString", "CMapStringToStringEx"},
    };
    for (const auto& c : cases)
    {
        const CRuntimeClass* pClass = CRuntimeClass::FromName(c.pszClass);
        ASSERT_NE(nullptr, pClass) << c.pszClass;
        EXPECT_EQ(1u, pClass->m_wSchema);
        EXPECT_STREQ(c.pszBase, pClass->m_pBaseClass->m_lpszClassName);

        std::unique_ptr<CObject> pOb(pClass->CreateObject());
        auto pMap = static_cast<CMapStringToStringEx*>(pOb.get());
        EXPECT_EQ(CByteVector({0, 0}), StoreRecord(*pMap)) << c.pszClass;
        (*pMap)["4294967295"] = "max";
        (*pMap)["k"] = "v";
        CByteVector bytes = StoreBytes([&](CArchive& ar) { ar << pMap; });

        CLoader loader(bytes);
        std::unique_ptr<CObject> pLoadedOb(loader.Ar().ReadObject(nullptr));
        ASSERT_TRUE(pLoadedOb->IsKindOf(pClass)) << c.pszClass;
        auto pLoaded = static_cast<CMapStringToStringEx*>(pLoadedOb.get());
        EXPECT_EQ(2, pLoaded->GetCount());

        CMapStringToStringEx target;
        target["k"] = "old";
        target["other"] = "kept";
        CLoader merge(StoreRecord(*pMap));
        target.Serialize(merge.Ar());
        CString str;
        EXPECT_TRUE(target.Lookup("k", str) && str == "v");
        EXPECT_TRUE(target.Lookup("other", str) && str == "kept");
        EXPECT_TRUE(target.Lookup("4294967295", str) && str == "max");
    }
}

TEST_F(StringStringMapTest, EveryTruncationFailsWithEndOfFile)
{
    CMapDWordToString map;
    map["1"] = "one";
    map["2"] = "";
    ExpectEveryTruncationFails<CMapDWordToString>(StoreRecord(map));
}

} // namespace
