#include "MapHoldCounts.h"

CMapHoldCounts::CMapHoldCounts(const CMapPtrToPtr& table) : m_counts(10)
{
    m_counts.InitHashTable(table.GetHashTableSize(), TRUE);
    POSITION pos = table.GetStartPosition();
    while (pos != nullptr)
    {
        void* key;
        void* value;
        table.GetNextAssoc(pos, key, value);
        Add(value);
    }
}

UINT_PTR CMapHoldCounts::GetHolders(void* value) const
{
    void* nHolders = nullptr;
    m_counts.Lookup(value, nHolders);
    return reinterpret_cast<UINT_PTR>(nHolders);
}

void CMapHoldCounts::Add(void* value)
{
    if (value == nullptr)
        return;
    void*& nHolders = m_counts[value];
    nHolders = reinterpret_cast<void*>(reinterpret_cast<UINT_PTR>(nHolders) + 1);
}

void CMapHoldCounts::Release(void* value) noexcept
{
    UINT_PTR nHolders = GetHolders(value);
    if (nHolders == 1)
        m_counts.RemoveKey(value);
    else if (nHolders > 1)
        m_counts[value] = reinterpret_cast<void*>(nHolders - 1); // present: no allocation
}
