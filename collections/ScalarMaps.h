// ScalarMaps.h - the members of the scalar-keyed family whose keys and
// values are pointers or numbers (record: the scalar form of
// MapPtrToPtrEx.h, each slot as its low 32 bits).
//
// Numbers (DWORD, WORD, BYTE, BOOL, count, a point or size packed into one
// DWORD) are zero-extended into the slots and never freed. Pointers are
// compared by identity and never dereferenced; owned ones are freed with a
// plain release. The sets (CMapPtr, CMapPoint, CMapDWord) hold each member
// as a key with the value 1.
//
// Limit: the record keeps only 32 bits of a slot, so a map of real pointers
// (CMapPtrToRect's rectangles included) does not come back from an
// archive: what loads are numbers, kept but never freed.
#pragma once

#include "MapFamily.h"

DECLARE_MAP_CLASS_FREEING(CMapPtrToBool, CMapPtrToPtrEx, Plain, Nothing)
DECLARE_MAP_CLASS(CMapPtr, CMapPtrToBool)
DECLARE_MAP_CLASS_FREEING(CMapPtrToDWord, CMapPtrToPtrEx, Plain, Nothing)
DECLARE_MAP_CLASS(CMapPtrToPoint, CMapPtrToDWord)
DECLARE_MAP_CLASS(CMapPtrToSize, CMapPtrToDWord)

// Owns its rectangles from construction (m_bDeleteValues).
class CMapPtrToRect : public CMapPtrToPtrEx
{
    DECLARE_SERIAL(CMapPtrToRect)
public:
    CMapPtrToRect() noexcept { m_bDeleteValues = -1; }
};

DECLARE_MAP_CLASS_FREEING(CMapDWordToPtr, CMapPtrToPtrEx, Nothing, Plain)
DECLARE_MAP_CLASS(CMapPointToPtr, CMapDWordToPtr)
DECLARE_MAP_CLASS_FREEING(CMapPointToBool, CMapPointToPtr, Nothing, Nothing)
DECLARE_MAP_CLASS(CMapPoint, CMapPointToBool)
DECLARE_MAP_CLASS_FREEING(CMapDWordToBool, CMapPtrToPtrEx, Nothing, Nothing)
DECLARE_MAP_CLASS(CMapDWord, CMapDWordToBool)

// The DWORD group: two more virtual operations that take DWORDs.
class CMapDWordToDWord : public CMapPtrToPtrEx
{
    DECLARE_SERIAL(CMapDWordToDWord)
    DECLARE_MAP_FREEING(CMapDWordToDWord, Nothing, Nothing)
public:
    using CMapPtrToPtrEx::RemoveKey;
    using CMapPtrToPtrEx::SetAt;
    virtual void SetAt(DWORD key, DWORD newValue);
    virtual BOOL RemoveKey(DWORD key);
};

DECLARE_MAP_CLASS(CMapDWordToWord, CMapDWordToDWord)
DECLARE_MAP_CLASS(CMapDWordToByte, CMapDWordToWord)
DECLARE_MAP_CLASS(CMapDWordToCount, CMapDWordToDWord)
DECLARE_MAP_CLASS(CMapDWordToSize, CMapDWordToDWord)
