#include "StringMapRecord.h"

#include "Maps.h"

#include <algorithm>

namespace
{
const ULONGLONG nMinHashCeiling = 65536;
}

int ReadStringMapEntryCount(CArchive& ar, size_t nMinEntryBytes)
{
    int nEntries;
    ar >> nEntries;
    if (nEntries <= 0)
        return 0;
    ar.EnsureAvailable(static_cast<ULONGLONG>(nEntries), nMinEntryBytes);
    return nEntries;
}

UINT LoadableHashTableSize(UINT nStored, int nEntries)
{
    if (nStored == 0)
        return CMapStringToPtr::nDefaultHashTableSize;
    ULONGLONG nCeiling = std::max(nMinHashCeiling, 2ull * static_cast<ULONGLONG>(nEntries) + 7);
    return static_cast<UINT>(std::min<ULONGLONG>(nStored, nCeiling));
}
