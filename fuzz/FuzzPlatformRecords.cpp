// The platform's own record readers. The first byte picks the reader, the
// rest is its record.
#include "FuzzSupport.h"

#include "Arrays.h"
#include "Maps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return 0;
    FuzzLoad(pData + 1, nSize - 1,
             [nReader = pData[0] % 5](CArchive& ar)
             {
                 switch (nReader)
                 {
                 case 0:
                 {
                     CString str;
                     while (ar.GetBytesAvailable() > 0)
                         ar >> str;
                     break;
                 }
                 case 1:
                     while (ar.GetBytesAvailable() > 0)
                         ar.ReadCount();
                     break;
                 case 2:
                 {
                     CMapStringToString map;
                     map.Serialize(ar);
                     break;
                 }
                 case 3:
                 {
                     CDWordArray a;
                     a.Serialize(ar);
                     break;
                 }
                 default:
                 {
                     CArray<ULONGLONG, ULONGLONG> a;
                     a.Serialize(ar);
                     break;
                 }
                 }
             });
    return 0;
}
