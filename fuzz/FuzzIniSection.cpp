// The in-memory INI section's record.
#include "FuzzSupport.h"

#include "MemIniSection.h"

#include <algorithm>
#include <vector>

namespace
{
std::string Text(const CString& str)
{
    return std::string(static_cast<LPCSTR>(str), str.GetLength());
}

// Entries sorted, so a reload that iterates in another order describes the
// same; not the integer table's bucket count, which follows the record's
// entry count and so shrinks when a record repeats a name.
std::string Describe(CObject& ob)
{
    const auto& section = static_cast<const CMemIniSection&>(ob);
    std::vector<std::string> entries;
    CString strName;
    void* value;
    for (POSITION pos = section.m_intEntries.GetStartPosition(); pos != nullptr;)
    {
        section.m_intEntries.GetNextAssoc(pos, strName, value);
        entries.push_back("i:" + Text(strName) + "=" +
                          std::to_string(reinterpret_cast<INT_PTR>(value)));
    }
    CString strValue;
    for (POSITION pos = section.m_stringEntries.GetStartPosition(); pos != nullptr;)
    {
        section.m_stringEntries.GetNextAssoc(pos, strName, strValue);
        entries.push_back("s:" + Text(strName) + "=" + Text(strValue));
    }
    std::sort(entries.begin(), entries.end());
    std::string str;
    for (const std::string& strEntry : entries)
        str += strEntry + ";";
    return str;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzRecord(
        pData, nSize, []() -> CObject* { return new CMemIniSection; }, Describe);
    return 0;
}
