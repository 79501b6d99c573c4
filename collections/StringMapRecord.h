// StringMapRecord.h - reading the table-shape fields that the records of
// CMapStringToPtrEx and CMapStringToObEx share.
//
// Neither field may make a load allocate more than the archive could fill:
// the entry count is checked against the bytes left before anything is
// read, and the bucket count, which costs no bytes in the record but is
// allocated whole, is bounded.
#pragma once

#include "Archive.h"

// The entry count; 0 or negative as a signed number means none. A count the
// remaining bytes cannot hold at nMinEntryBytes each raises endOfFile.
int ReadStringMapEntryCount(CArchive& ar, size_t nMinEntryBytes);

// The bucket count to re-create from a stored one. 0 cannot come from a
// writer and gives the default 17. Above max(65536, 2 * nEntries + 7) it is
// cut to that bound: a legitimately sparse table round-trips, a hostile
// count cannot claim gigabytes of buckets.
UINT LoadableHashTableSize(UINT nStored, int nEntries);
