// Object references: tags, class records resolved through the class list,
// back-references, and a failing Serialize in the middle of a graph.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzLoad(pData, nSize,
             [](CArchive& ar)
             {
                 while (ar.GetBytesAvailable() > 0)
                     ar.ReadObject(nullptr);
             });
    CFuzzNode::DeleteAll();
    return 0;
}
