// Every record reader under allocation failure: a valid record loads with
// the k-th platform allocation failing, for every k the load reaches. Each
// failure must arrive as CMemoryException, free whatever the load built when
// the object goes, and leave an object that loads the record cleanly again.
#include "DWord64Array.h"
#include "DWordArrayEx.h"
#include "MapStringToObEx.h"
#include "MapStringToPtrEx.h"
#include "MapStringToStringEx.h"
#include "MemIniSection.h"
#include "ObjectMaps.h"
#include "ScalarMaps.h"

#include "RecordTestSupport.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace
{

std::string Text(const CString& str)
{
    return std::string(static_cast<LPCSTR>(str), str.GetLength());
}

std::string ItemText(const CObject* pOb)
{
    auto pItem = dynamic_cast<const CTestItem*>(pOb);
    return pItem != nullptr ? Text(pItem->m_strName) + "/" + std::to_string(pItem->m_nValue)
                            : (pOb == nullptr ? "null" : "?");
}

std::string Joined(std::vector<std::string> entries)
{
    std::sort(entries.begin(), entries.end());
    std::string str;
    for (const std::string& strEntry : entries)
        str += strEntry + ";";
    return str;
}

// Content as a sorted list of entries: a reload may iterate in another order.
std::string FamilyContent(const CObject& ob, BOOL bObjectKeys, BOOL bObjectValues)
{
    const auto& map = static_cast<const CMapPtrToPtrEx&>(ob);
    auto slot = [](void* p, BOOL bObject)
    {
        return bObject ? ItemText(static_cast<CObject*>(p))
                       : std::to_string(reinterpret_cast<UINT_PTR>(p));
    };
    std::vector<std::string> entries;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        void* key;
        void* value;
        map.GetNextAssoc(pos, key, value);
        entries.push_back(slot(key, bObjectKeys) + "=" + slot(value, bObjectValues));
    }
    return Joined(entries);
}

template <class MAP, class VALUE, class FN>
std::string StringMapContent(const MAP& map, FN fnValue)
{
    std::vector<std::string> entries;
    CString key;
    VALUE value;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        map.GetNextAssoc(pos, key, value);
        entries.push_back(Text(key) + "=" + fnValue(value));
    }
    return Joined(entries);
}

std::string Number(void* p)
{
    return std::to_string(reinterpret_cast<INT_PTR>(p));
}

template <class ARRAY>
std::string ArrayContent(const ARRAY* pArray)
{
    std::string str;
    for (INT_PTR i = 0; pArray != nullptr && i < pArray->GetSize(); ++i)
        str += std::to_string(pArray->GetAt(i)) + ",";
    return str;
}

void* Slot(INT_PTR n)
{
    return reinterpret_cast<void*>(n);
}

CString Name(const char* pszPrefix, int n)
{
    return CString((pszPrefix + std::to_string(n)).c_str());
}

struct CSweepCase
{
    const char* m_pszName;
    std::function<CObject*()> m_fnCreate;
    // Fills an object whose record is the one swept.
    std::function<void(CObject&)> m_fnFill;
    std::function<std::string(const CObject&)> m_fnContent;
};

template <class T>
std::function<CObject*()> Creator()
{
    return []() -> CObject* { return new T; };
}

const CSweepCase g_aCases[] = {
    {"scalar form", Creator<CMapDWordToDWord>(),
     [](CObject& ob)
     {
         // Enough entries to grow the table twice.
         for (DWORD n = 1; n <= 40; ++n)
             static_cast<CMapDWordToDWord&>(ob).SetAt(n * 977u, n);
     },
     [](const CObject& ob) { return FamilyContent(ob, FALSE, FALSE); }},
    {"object-value form", Creator<CMapPtrToOb>(),
     [](CObject& ob)
     {
         auto& map = static_cast<CMapPtrToOb&>(ob);
         map.SetOwnership(FALSE, TRUE);
         CTestItem* pShared = new CTestItem("shared", 1);
         map.SetAt(Slot(1), pShared);
         map.SetAt(Slot(2), pShared);
         for (INT_PTR n = 3; n <= 12; ++n)
             map.SetAt(Slot(n), new CTestItem("item", static_cast<DWORD>(n)));
         map.SetAt(Slot(13), nullptr);
     },
     [](const CObject& ob) { return FamilyContent(ob, FALSE, TRUE); }},
    {"object-key form", Creator<CMapObToDWord>(),
     [](CObject& ob)
     {
         auto& map = static_cast<CMapObToDWord&>(ob);
         map.SetOwnership(TRUE, FALSE);
         for (DWORD n = 1; n <= 10; ++n)
             map.SetAt(new CTestItem("key", n), Slot(n * 3));
     },
     [](const CObject& ob) { return FamilyContent(ob, TRUE, FALSE); }},
    {"object-key-and-value form", Creator<CMapObToOb>(),
     [](CObject& ob)
     {
         auto& map = static_cast<CMapObToOb&>(ob);
         map.SetOwnership(TRUE, TRUE);
         CTestItem* pFirst = new CTestItem("first", 1);
         CTestItem* pSecond = new CTestItem("second", 2);
         map.SetAt(pFirst, pSecond);
         map.SetAt(pSecond, pFirst);
         map.SetAt(new CTestItem("third", 3), new CTestItem("fourth", 4));
         map.SetAt(new CTestItem("fifth", 5), nullptr);
     },
     [](const CObject& ob) { return FamilyContent(ob, TRUE, TRUE); }},
    {"CMapStringToPtrEx", Creator<CMapStringToPtrEx>(),
     [](CObject& ob)
     {
         for (int n = 0; n < 15; ++n)
             static_cast<CMapStringToPtrEx&>(ob).SetAt(Name("key", n), Slot(n));
     },
     [](const CObject& ob)
     {
         return StringMapContent<CMapStringToPtrEx, void*>(
             static_cast<const CMapStringToPtrEx&>(ob), Number);
     }},
    {"CMapStringToObEx", Creator<CMapStringToObEx>(),
     [](CObject& ob)
     {
         auto& map = static_cast<CMapStringToObEx&>(ob);
         map.m_bDeleteValues = TRUE;
         for (int n = 0; n < 8; ++n)
             map.SetAt(Name("key", n), new CTestItem("item", static_cast<DWORD>(n)));
         map.SetAt("none", nullptr);
     },
     [](const CObject& ob)
     {
         return StringMapContent<CMapStringToObEx, CObject*>(
             static_cast<const CMapStringToObEx&>(ob), ItemText);
     }},
    {"CMapStringToStringEx", Creator<CMapStringToStringEx>(),
     [](CObject& ob)
     {
         for (int n = 0; n < 12; ++n)
             static_cast<CMapStringToStringEx&>(ob)[Name("key", n)] = Name("value", n);
     },
     [](const CObject& ob)
     {
         return StringMapContent<CMapStringToStringEx, CString>(
             static_cast<const CMapStringToStringEx&>(ob), Text);
     }},
    {"CMemIniSection", Creator<CMemIniSection>(),
     [](CObject& ob)
     {
         auto& section = static_cast<CMemIniSection&>(ob);
         for (int n = 0; n < 10; ++n)
         {
             section.m_intEntries[Name("int", n)] = Slot(n);
             section.m_stringEntries[Name("string", n)] = Name("value", n);
         }
         section.m_stringEntries["int3"] = "in both tables";
     },
     [](const CObject& ob)
     {
         const auto& section = static_cast<const CMemIniSection&>(ob);
         return StringMapContent<CMapStringToPtr, void*>(section.m_intEntries, Number) + "|" +
                StringMapContent<CMapStringToString, CString>(section.m_stringEntries, Text);
     }},
    {"CDWordArrayEx", Creator<CDWordArrayEx>(),
     [](CObject& ob)
     {
         for (DWORD n = 1; n <= 20; ++n)
             static_cast<CDWordArrayEx&>(ob).Add(n * n);
     },
     [](const CObject& ob)
     { return ArrayContent(static_cast<const CDWordArrayEx&>(ob).GetArray()); }},
    {"CDWord64Array", Creator<CDWord64Array>(),
     [](CObject& ob)
     {
         for (ULONGLONG n = 1; n <= 20; ++n)
             static_cast<CDWord64Array&>(ob).Add(n << 40);
     },
     [](const CObject& ob) { return ArrayContent(&static_cast<const CDWord64Array&>(ob)); }},
};

class AllocationSweepTest : public CPlatformTest
{
};

TEST_F(AllocationSweepTest, EveryFailedAllocationOfEveryLoadIsAMemoryExceptionAndLeaksNothing)
{
    for (const CSweepCase& c : g_aCases)
    {
        SCOPED_TRACE(c.m_pszName);
        CByteVector record;
        std::string strContent;
        {
            std::unique_ptr<CObject> pSource(c.m_fnCreate());
            c.m_fnFill(*pSource);
            record = StoreRecord(*pSource);
            std::unique_ptr<CObject> pClean(c.m_fnCreate());
            CLoader loader(record);
            pClean->Serialize(loader.Ar());
            strContent = c.m_fnContent(*pClean);
            ASSERT_EQ(c.m_fnContent(*pSource), strContent);
        }
        const INT_PTR nBaseline = AfxLiveAllocationCount();
        int nFailures = 0;
        for (int k = 0;; ++k)
        {
            SCOPED_TRACE(k);
            ASSERT_LT(k, 10000) << "the load never succeeded";
            std::unique_ptr<CObject> pOb(c.m_fnCreate());
            BOOL bLoaded = FALSE;
            {
                CLoader loader(record);
                AfxFailAllocationAfter(k);
                try
                {
                    pOb->Serialize(loader.Ar());
                    bLoaded = TRUE;
                }
                catch (CMemoryException&)
                {
                    ++nFailures;
                }
                catch (CException& e)
                {
                    ADD_FAILURE() << "not a memory exception: " << e.what();
                }
                AfxFailAllocationAfter(-1);
            }
            if (bLoaded)
            {
                EXPECT_EQ(strContent, c.m_fnContent(*pOb));
                pOb.reset();
                EXPECT_EQ(nBaseline, AfxLiveAllocationCount());
                break;
            }
            // The failed object is still usable: the record loads over it.
            {
                CLoader again(record);
                pOb->Serialize(again.Ar());
            }
            EXPECT_EQ(strContent, c.m_fnContent(*pOb));
            pOb.reset();
            ASSERT_EQ(nBaseline, AfxLiveAllocationCount()) << "leaked after a failed load";
        }
        EXPECT_GT(nFailures, 0) << "the load allocates nothing";
    }
}

} // namespace
