// MapStringToStringEx.h - the platform string-to-string map as serialisable
// classes that an archive can re-create by name.
//
// Record: the platform CMapStringToString's, unchanged (count form, then
// key and value strings). Loading merges: each pair overwrites its key and
// other entries stay.
#pragma once

#include "Maps.h"

class CMapStringToStringEx : public CMapStringToString
{
    DECLARE_SERIAL(CMapStringToStringEx)
public:
    CMapStringToStringEx() : CMapStringToString(10) {}
};

// Keys are the caller's strings for 32-bit numbers; the class fixes no
// conversion, so every writer and reader of one map must agree on theirs.
class CMapDWordToString : public CMapStringToStringEx
{
    DECLARE_SERIAL(CMapDWordToString)
};
