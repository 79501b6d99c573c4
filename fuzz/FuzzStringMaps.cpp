// The string-keyed map records: the first byte picks CMapStringToPtrEx,
// CMapStringToObEx or CMapStringToStringEx, the rest is its record.
#include "FuzzSupport.h"

#include "MapStringToObEx.h"
#include "MapStringToPtrEx.h"
#include "MapStringToStringEx.h"

#include <algorithm>
#include <vector>

namespace
{
std::string Text(const CString& str)
{
    return std::string(static_cast<LPCSTR>(str), str.GetLength());
}

// Sorted, so a reload that iterates in another order describes the same.
template <class MAP, class VALUE>
std::string DescribeEntries(const MAP& map, const std::function<std::string(VALUE)>& fnValue)
{
    std::vector<std::string> entries;
    CString key;
    VALUE value;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        map.GetNextAssoc(pos, key, value);
        entries.push_back(Text(key) + "=" + fnValue(value));
    }
    std::sort(entries.begin(), entries.end());
    std::string str = std::to_string(map.GetHashTableSize());
    for (const std::string& strEntry : entries)
        str += ";" + strEntry;
    return str;
}

std::string DescribePtrMap(CObject& ob)
{
    return DescribeEntries<CMapStringToPtrEx, void*>(
        static_cast<CMapStringToPtrEx&>(ob),
        [](void* p) { return std::to_string(reinterpret_cast<UINT_PTR>(p)); });
}

std::string DescribeObMap(CObject& ob)
{
    auto& map = static_cast<CMapStringToObEx&>(ob);
    return std::to_string(map.m_bDeleteValues) + "," +
           DescribeEntries<CMapStringToObEx, CObject*>(map, FuzzDescribeObject);
}

std::string DescribeStringMap(CObject& ob)
{
    return DescribeEntries<CMapStringToStringEx, CString>(static_cast<CMapStringToStringEx&>(ob),
                                                          Text);
}

struct CReader
{
    CObject* (*m_pfnCreate)();
    std::string (*m_pfnDescribe)(CObject&);
};

const CReader g_aReaders[] = {
    {[]() -> CObject* { return new CMapStringToPtrEx; }, DescribePtrMap},
    {[]() -> CObject* { return new CMapStringToObEx; }, DescribeObMap},
    {[]() -> CObject* { return new CMapStringToStringEx; }, DescribeStringMap},
};
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzOnlyNodesByName();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return 0;
    const CReader& reader = g_aReaders[pData[0] % (sizeof(g_aReaders) / sizeof(g_aReaders[0]))];
    FuzzRecord(pData + 1, nSize - 1, reader.m_pfnCreate, reader.m_pfnDescribe);
    return 0;
}
