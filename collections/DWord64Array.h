// DWord64Array.h - CDWord64Array, the platform array of unsigned 64-bit
// values as a serialisable class.
//
// Record: the count in the archive's count form, then each element as 64
// bits, least significant byte first. Loading checks the count against the
// bytes left before sizing the array and every element read after it, so a
// short record raises endOfFile in every build.
#pragma once

#include "Arrays.h"

class CDWord64Array : public CArray<ULONGLONG, ULONGLONG>
{
    DECLARE_SERIAL(CDWord64Array)
};
