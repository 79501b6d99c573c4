// ObjectMaps.h - the members of the scalar-keyed family that hold objects
// derived from CObject as keys, values or both.
//
// Owned objects are destroyed through their virtual destructor, each once,
// however many entries hold it and whether it is held as key or value.
// Records: object-value (CMapPtrToOb, CMapDWordToOb: key as 32 bits, value
// as an object reference), object-key (CMapObToPtr and its members: key as
// an object reference, value as 32 bits) and object-key-and-value
// (CMapObToOb); the header is MapPtrToPtrEx.h's. Loading stores each record
// with SetAt, so a key met twice keeps the later object and the earlier one
// is destroyed when owned and no longer held; the same object twice is one
// entry.
//
// Loading refuses what would destroy an object twice or too early: an owned
// object that another owner in the archive has claimed, or that encloses
// the map (the map itself included), is badIndex (CArchive's
// ClaimLoadedObject); a replacement that would destroy an object a
// reference in the archive has already handed out is genericException. An
// entry that fails after its objects were read destroys those nobody else
// can hold.
//
// Limit: the 32-bit slots of these records (CMapPtrToOb's keys, the
// object-key maps' values) load as numbers that are never freed.
#pragma once

#include "MapFamily.h"

class CMapPtrToOb : public CMapPtrToPtrEx
{
    DECLARE_SERIAL(CMapPtrToOb)
    DECLARE_MAP_FREEING(CMapPtrToOb, Plain, Object)
public:
    void Serialize(CArchive& ar) override;
};

// DWORD keys are numbers: never freed, even with m_bDeleteKeys set.
DECLARE_MAP_CLASS_FREEING(CMapDWordToOb, CMapPtrToOb, Nothing, Object)

class CMapObToPtr : public CMapPtrToPtrEx
{
    DECLARE_SERIAL(CMapObToPtr)
    DECLARE_MAP_FREEING(CMapObToPtr, Object, Plain)
public:
    void Serialize(CArchive& ar) override;
};

DECLARE_MAP_CLASS_FREEING(CMapObToBool, CMapObToPtr, Object, Nothing)
DECLARE_MAP_CLASS(CMapOb, CMapObToBool)
DECLARE_MAP_CLASS_FREEING(CMapObToDWord, CMapObToPtr, Object, Nothing)
DECLARE_MAP_CLASS(CMapObToCount, CMapObToDWord)

class CMapObToOb : public CMapObToPtr
{
    DECLARE_SERIAL(CMapObToOb)
    DECLARE_MAP_FREEING(CMapObToOb, Object, Object)
public:
    void Serialize(CArchive& ar) override;
};
