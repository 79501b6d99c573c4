#include "ObjectMaps.h"
#include "Archive.h"

IMPLEMENT_SERIAL(CMapPtrToOb, CMapPtrToPtrEx, 1)
IMPLEMENT_SERIAL(CMapDWordToOb, CMapPtrToOb, 1)
IMPLEMENT_SERIAL(CMapObToPtr, CMapPtrToPtrEx, 1)
IMPLEMENT_SERIAL(CMapObToBool, CMapObToPtr, 1)
IMPLEMENT_SERIAL(CMapOb, CMapObToBool, 1)
IMPLEMENT_SERIAL(CMapObToDWord, CMapObToPtr, 1)
IMPLEMENT_SERIAL(CMapObToCount, CMapObToDWord, 1)
IMPLEMENT_SERIAL(CMapObToOb, CMapObToPtr, 1)

void CMapPtrToOb::Serialize(CArchive& ar)
{
    SerializeForm(ar, slotNumber, slotObject);
}

void CMapObToPtr::Serialize(CArchive& ar)
{
    SerializeForm(ar, slotObject, slotNumber);
}

void CMapObToOb::Serialize(CArchive& ar)
{
    SerializeForm(ar, slotObject, slotObject);
}
