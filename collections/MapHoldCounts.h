// MapHoldCounts.h - CMapHoldCounts: how many keys of a map hold each value.
//
// An owning map frees a value only when no other key holds it; counting
// the holders answers that without a scan of the table. The owner keeps the
// counts in step with every change of its table and guards them with the
// same lock. Null values are not counted.
//
// Add and Resize raise CMemoryException and then leave the counts as they
// were; Release and RemoveAll never fail.
#pragma once

#include "Maps.h"

class CMapHoldCounts
{
public:
    // Counts every value of table, with as many buckets as it has.
    explicit CMapHoldCounts(const CMapPtrToPtr& table);

    static void* operator new(size_t nSize) { return AfxAllocMemory(nSize); }
    static void operator delete(void* p) noexcept { AfxFreeMemory(p); }

    UINT_PTR GetHolders(void* value) const;
    void Add(void* value);
    void Release(void* value) noexcept;
    void RemoveAll() noexcept { m_counts.RemoveAll(); }
    void Resize(UINT nHashSize) { m_counts.InitHashTable(nHashSize, TRUE); }

private:
    CMapPtrToPtr m_counts; // value -> number of keys holding it
};
