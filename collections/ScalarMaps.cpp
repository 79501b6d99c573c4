#include "ScalarMaps.h"
#include "Archive.h"

IMPLEMENT_SERIAL(CMapPtrToBool, CMapPtrToPtrEx, 1)
IMPLEMENT_SERIAL(CMapPtr, CMapPtrToBool, 1)
IMPLEMENT_SERIAL(CMapPtrToDWord, CMapPtrToPtrEx, 1)
IMPLEMENT_SERIAL(CMapPtrToPoint, CMapPtrToDWord, 1)
IMPLEMENT_SERIAL(CMapPtrToSize, CMapPtrToDWord, 1)
IMPLEMENT_SERIAL(CMapPtrToRect, CMapPtrToPtrEx, 1)
IMPLEMENT_SERIAL(CMapDWordToPtr, CMapPtrToPtrEx, 1)
IMPLEMENT_SERIAL(CMapPointToPtr, CMapDWordToPtr, 1)
IMPLEMENT_SERIAL(CMapPointToBool, CMapPointToPtr, 1)
IMPLEMENT_SERIAL(CMapPoint, CMapPointToBool, 1)
IMPLEMENT_SERIAL(CMapDWordToBool, CMapPtrToPtrEx, 1)
IMPLEMENT_SERIAL(CMapDWord, CMapDWordToBool, 1)
IMPLEMENT_SERIAL(CMapDWordToDWord, CMapPtrToPtrEx, 1)
IMPLEMENT_SERIAL(CMapDWordToWord, CMapDWordToDWord, 1)
IMPLEMENT_SERIAL(CMapDWordToByte, CMapDWordToWord, 1)
IMPLEMENT_SERIAL(CMapDWordToCount, CMapDWordToDWord, 1)
IMPLEMENT_SERIAL(CMapDWordToSize, CMapDWordToDWord, 1)

static void* DWordSlot(DWORD n)
{
    return reinterpret_cast<void*>(static_cast<UINT_PTR>(n));
}

void CMapDWordToDWord::SetAt(DWORD key, DWORD newValue)
{
    CMapPtrToPtrEx::SetAt(DWordSlot(key), DWordSlot(newValue));
}

BOOL CMapDWordToDWord::RemoveKey(DWORD key)
{
    return CMapPtrToPtrEx::RemoveKey(DWordSlot(key));
}
