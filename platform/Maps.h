// Maps.h - the six platform maps: thin, run-time-typed faces of CHashMap.
//
// Pointer and WORD keys compare as numbers; their hash is not part of any
// contract. String keys compare case-sensitively byte for byte over their
// full length, and hash as h = h * 33 + c over the key's bytes with c a
// signed 8-bit value, in unsigned 32-bit arithmetic: the bucket, and so the
// iteration order that records are written in, follows from that.
//
// None of the maps owns what its values point to.
#pragma once

#include "HashMap.h"
#include "String.h"

struct CPtrKeyHash
{
    static UINT HashKey(void* key) noexcept;
};

struct CWordKeyHash
{
    static UINT HashKey(WORD key) noexcept { return key; }
};

struct CStringKeyHash
{
    static UINT HashKey(const CString& key) noexcept;
};

class CMapPtrToPtr : public CHashMap<void*, void*, void*, void*, CPtrKeyHash>
{
    DECLARE_DYNAMIC(CMapPtrToPtr)
public:
    explicit CMapPtrToPtr(int nBlockSize = 10) : CHashMap(nBlockSize) {}
};

class CMapPtrToWord : public CHashMap<void*, void*, WORD, WORD, CPtrKeyHash>
{
    DECLARE_DYNAMIC(CMapPtrToWord)
public:
    explicit CMapPtrToWord(int nBlockSize = 10) : CHashMap(nBlockSize) {}
};

class CMapWordToOb : public CHashMap<WORD, WORD, CObject*, CObject*, CWordKeyHash>
{
    DECLARE_DYNAMIC(CMapWordToOb)
public:
    explicit CMapWordToOb(int nBlockSize = 10) : CHashMap(nBlockSize) {}
};

class CMapStringToPtr : public CHashMap<CString, const CString&, void*, void*, CStringKeyHash>
{
    DECLARE_DYNAMIC(CMapStringToPtr)
public:
    explicit CMapStringToPtr(int nBlockSize = 10) : CHashMap(nBlockSize) {}
};

class CMapStringToOb : public CHashMap<CString, const CString&, CObject*, CObject*, CStringKeyHash>
{
    DECLARE_DYNAMIC(CMapStringToOb)
public:
    explicit CMapStringToOb(int nBlockSize = 10) : CHashMap(nBlockSize) {}
};

// Record: the entry count in the archive's count form, then each key and
// value as archive strings, in iteration order. Loading stores each pair
// with operator[], merging into what the map already holds.
class CMapStringToString
    : public CHashMap<CString, const CString&, CString, const CString&, CStringKeyHash>
{
    DECLARE_DYNAMIC(CMapStringToString)
public:
    explicit CMapStringToString(int nBlockSize = 10) : CHashMap(nBlockSize) {}

    void Serialize(CArchive& ar) override;
};
