// The scalar-keyed map family, all four record forms. The first byte picks
// the class (FuzzMapClasses.h), the rest is its record.
#include "FuzzMapClasses.h"
#include "FuzzSupport.h"

#include "MapPtrToPtrEx.h"

#include <algorithm>
#include <vector>

namespace
{
std::string DescribeSlot(void* p, bool bObject)
{
    if (bObject)
        return FuzzDescribeObject(static_cast<CObject*>(p));
    return std::to_string(reinterpret_cast<UINT_PTR>(p));
}

std::string Describe(const CMapPtrToPtrEx& map, const CFuzzMapClass& mapClass)
{
    std::vector<std::string> entries;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        void* key;
        void* value;
        map.GetNextAssoc(pos, key, value);
        entries.push_back(DescribeSlot(key, mapClass.m_bObjectKeys) + "=" +
                          DescribeSlot(value, mapClass.m_bObjectValues));
    }
    std::sort(entries.begin(), entries.end());
    std::string str = std::to_string(map.m_bDeleteKeys) + "," + std::to_string(map.m_bDeleteValues);
    for (const std::string& strEntry : entries)
        str += ";" + strEntry;
    return str;
}

// Taken before FuzzOnlyNodesByName withdraws them from the archive.
CObject* (*g_apfnCreate[g_nFuzzMapClasses])();
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    for (size_t i = 0; i < g_nFuzzMapClasses; ++i)
        g_apfnCreate[i] =
            CRuntimeClass::FromName(g_aFuzzMapClasses[i].m_pszName)->m_pfnCreateObject;
    FuzzOnlyNodesByName();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return 0;
    const size_t nClass = pData[0] % g_nFuzzMapClasses;
    const CFuzzMapClass& mapClass = g_aFuzzMapClasses[nClass];
    FuzzRecord(pData + 1, nSize - 1, g_apfnCreate[nClass],
               [&](CObject& ob) { return Describe(static_cast<CMapPtrToPtrEx&>(ob), mapClass); });
    return 0;
}
