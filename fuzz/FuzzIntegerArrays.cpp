// The integer arrays' records: the first byte picks CDWordArrayEx or
// CDWord64Array, the rest is its record.
#include "FuzzSupport.h"

#include "DWord64Array.h"
#include "DWordArrayEx.h"

namespace
{
std::string DescribeDWords(CObject& ob)
{
    const CDWordArray* pArray = static_cast<CDWordArrayEx&>(ob).GetArray();
    if (pArray == nullptr)
        return "no storage";
    if (pArray->GetSize() == 0)
        FuzzFinding("an empty array kept its storage object");
    std::string str;
    for (INT_PTR i = 0; i < pArray->GetSize(); ++i)
        str += std::to_string(pArray->GetAt(i)) + ",";
    return str;
}

std::string DescribeQWords(CObject& ob)
{
    const auto& array = static_cast<const CDWord64Array&>(ob);
    std::string str;
    for (INT_PTR i = 0; i < array.GetSize(); ++i)
        str += std::to_string(array.GetAt(i)) + ",";
    return str;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return 0;
    if (pData[0] % 2 == 0)
        FuzzRecord(
            pData + 1, nSize - 1, []() -> CObject* { return new CDWordArrayEx; }, DescribeDWords);
    else
        FuzzRecord(
            pData + 1, nSize - 1, []() -> CObject* { return new CDWord64Array; }, DescribeQWords);
    return 0;
}
