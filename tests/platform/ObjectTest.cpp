#include "TestSupport.h"

#include <memory>

namespace
{

class ObjectTest : public CPlatformTest
{
};

TEST_F(ObjectTest, RuntimeClassRecords)
{
    const CRuntimeClass* pItem = RUNTIME_CLASS(CTestItem);
    EXPECT_STREQ("CTestItem", pItem->m_lpszClassName);
    EXPECT_EQ(1u, pItem->m_wSchema);
    EXPECT_EQ(static_cast<int>(sizeof(CTestItem)), pItem->m_nObjectSize);
    EXPECT_EQ(RUNTIME_CLASS(CObject), pItem->m_pBaseClass);
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CObject)->m_pBaseClass);
    EXPECT_EQ(2u, RUNTIME_CLASS(CTestBag)->m_wSchema);
    EXPECT_EQ(0xFFFFu, RUNTIME_CLASS(CTestDynamic)->m_wSchema);
    EXPECT_EQ(RUNTIME_CLASS(CObject), RUNTIME_CLASS(CMapStringToString)->m_pBaseClass);
}

TEST_F(ObjectTest, IsKindOfFollowsTheBaseChain)
{
    CTestDynamic dynamic;
    EXPECT_TRUE(dynamic.IsKindOf(RUNTIME_CLASS(CTestDynamic)));
    EXPECT_TRUE(dynamic.IsKindOf(RUNTIME_CLASS(CTestItem)));
    EXPECT_TRUE(dynamic.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(dynamic.IsKindOf(RUNTIME_CLASS(CTestBag)));
    EXPECT_FALSE(dynamic.IsSerializable());
    EXPECT_TRUE(CTestItem().IsSerializable());
    CDWordArray dwords;
    EXPECT_EQ(RUNTIME_CLASS(CDWordArray), dwords.GetRuntimeClass());
    EXPECT_FALSE(dwords.IsKindOf(RUNTIME_CLASS(CPtrArray)));
}

TEST_F(ObjectTest, SerialClassesAreCreatedByName)
{
    EXPECT_EQ(RUNTIME_CLASS(CTestBag), CRuntimeClass::FromName("CTestBag"));
    EXPECT_EQ(nullptr, CRuntimeClass::FromName("CTestDynamic"));
    EXPECT_EQ(nullptr, CRuntimeClass::FromName("ctestbag"));
    EXPECT_EQ(nullptr, CRuntimeClass::FromName(nullptr));
    std::unique_ptr<CObject> pOb(CRuntimeClass::CreateObject("CTestItem"));
    ASSERT_TRUE(pOb);
    EXPECT_EQ(RUNTIME_CLASS(CTestItem), pOb->GetRuntimeClass());
    EXPECT_EQ(nullptr, CRuntimeClass::CreateObject("CNoSuchClass"));
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CTestDynamic)->CreateObject());
}

TEST_F(ObjectTest, FailedNewRaisesMemoryException)
{
    AfxFailAllocationAfter(0);
    EXPECT_THROW(delete new CTestBag, CMemoryException);
    AfxFailAllocationAfter(0);
    EXPECT_THROW(CRuntimeClass::CreateObject("CTestItem"), CMemoryException);
}

} // namespace
