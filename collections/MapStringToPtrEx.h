// MapStringToPtrEx.h - CMapStringToPtrEx, a platform string-to-pointer map
// that can own its values and writes its own record, and the three maps
// built on it for numbers, flags and plain string sets.
//
// Ownership: with m_bDeleteValues set (the holder sets it; nothing here
// does), a value is a raw block from ::operator new, freed with
// ::operator delete and no destructor when SetAt replaces it, by RemoveAll
// and on destruction. Null is never freed. One block must not sit under
// two keys: RemoveAll frees once per key. RemoveKey is the platform's and
// frees nothing, so a caller can Lookup a value and still take it away.
//
// Record: version word 1 (16 bits), block size (32, signed), bucket count
// (32), entry count (32; 0 or negative as a signed number: none), then each
// key as an archive string and the value's low 32 bits, in iteration order.
// Loading calls RemoveAll through the virtual slot first and keeps
// m_bDeleteValues as it was.
//
// Values read from an archive are numbers, not blocks: the map remembers
// each one under its key and never frees a value that still equals the
// number loaded under that key, whatever the flag says then. Freeing them
// would hand ::operator delete an arbitrary integer, or a block another
// container owns when this process wrote the record.
//
// Loading does not trust the record with memory: an entry count the
// remaining bytes cannot hold raises endOfFile before anything is read; a
// block size below 1 or above 65536 (a block is allocated whole) loads as
// 10; the bucket count is bounded as in StringMapRecord.h, 0 loading as 17.
#pragma once

#include "Maps.h"

class CMapStringToPtrEx : public CMapStringToPtr
{
    DECLARE_SERIAL(CMapStringToPtrEx)
public:
    CMapStringToPtrEx();
    ~CMapStringToPtrEx() override;

    void Serialize(CArchive& ar) override;

    // Storing the value a key already holds changes and frees nothing.
    void SetAt(const CString& key, void* newValue);
    // Frees owned values, then empties the table and releases its buckets.
    virtual void RemoveAll();

    BOOL m_bDeleteValues;

private:
    void FreeValue(const CString& key, void* value) const noexcept;
    void LoadEntry(const CString& key, void* value);

    // Key -> the number last loaded under it; see the banner.
    CMapStringToPtr m_mapLoaded;
};

// 32-bit numbers held in the pointer-sized values.
class CMapStringToDWord : public CMapStringToPtrEx
{
    DECLARE_SERIAL(CMapStringToDWord)
};

// Flags held in the values: null is FALSE.
class CMapStringToBool : public CMapStringToPtrEx
{
    DECLARE_SERIAL(CMapStringToBool)
};

// A set of strings: membership is the key, the value unused.
class CMapString : public CMapStringToBool
{
    DECLARE_SERIAL(CMapString)
};
