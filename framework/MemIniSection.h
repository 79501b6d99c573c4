// MemIniSection.h - CMemIniSection, one profile section held in memory: an
// integer table and a string table, which know nothing of each other (a
// name may be in both). Callers work on the two members directly.
//
// Integer values are 32-bit signed numbers kept in the pointer-sized
// values; only the low 32 bits are archived, and loading sign-extends them.
//
// Record: version word 1 (16 bits), the integer-entry count n (32 bits,
// unsigned), n pairs of name (archive string) and value (32 bits), then the
// platform CMapStringToString record of the string table.
//
// Loading re-creates the integer table with 2n + 7 buckets. It clears the
// integer table first, where the bare re-creation would strand what it
// held; the string table merges, each pair overwriting its name. A count n
// the remaining bytes cannot hold raises endOfFile before the table is
// touched, so a hostile n never sizes the bucket array.
#pragma once

#include "Maps.h"

class CMemIniSection : public CObject
{
    DECLARE_SERIAL(CMemIniSection)
public:
    CMemIniSection() : m_intEntries(10), m_stringEntries(10) {}

    void Serialize(CArchive& ar) override;

    CMapStringToPtr m_intEntries;
    CMapStringToString m_stringEntries;
};
