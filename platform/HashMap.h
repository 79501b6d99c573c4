// HashMap.h - CHashMap, the chained hash table behind the six platform maps.
//
// Semantics the maps promise (stored files and callers rely on them):
// - the bucket count is 17 until InitHashTable changes it, and never
//   shrinks: RemoveKey and RemoveAll keep it, the next insertion reuses it;
// - the bucket array is allocated at the first insertion, or by
//   InitHashTable(n, TRUE), and freed by RemoveAll;
// - a new entry goes to the head of its bucket's chain; iteration visits
//   buckets 0..n-1 and each chain from its head, so within a bucket the
//   newest entry comes first. InitHashTable on a non-empty map re-hashes the
//   entries into the new buckets (always allocating, whatever bAllocNow
//   says); their order within a bucket is then unspecified;
// - entries are carved from blocks of m_nBlockSize, and a removed entry goes
//   to a free list; all blocks are released when the count drops to 0.
//
// Every allocation goes through AfxAllocMemory. A CMemoryException leaves
// the map as it was (operator[] may have allocated the bucket array or a
// block, never a half-made entry); SetAt of a value whose copy can throw
// leaves the key present with an empty value.
//
// Not thread-safe. A POSITION stays valid until the entry it names is
// removed; null or a stale position is the caller's fault, null raises
// CInvalidArgException.
#pragma once

#include "Exceptions.h"
#include "Memory.h"
#include "Object.h"

#include <new>

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE, class HASH>
class CHashMap : public CObject
{
public:
    enum
    {
        nDefaultHashTableSize = 17
    };

    explicit CHashMap(int nBlockSize = 10)
        : m_pHashTable(nullptr), m_nHashTableSize(nDefaultHashTableSize), m_nCount(0),
          m_pFreeList(nullptr), m_pBlocks(nullptr), m_nBlockSize(10)
    {
        SetBlockSize(nBlockSize);
    }
    ~CHashMap() override { RemoveAll(); }

    INT_PTR GetCount() const noexcept { return m_nCount; }
    INT_PTR GetSize() const noexcept { return m_nCount; }
    BOOL IsEmpty() const noexcept { return m_nCount == 0; }
    UINT GetHashTableSize() const noexcept { return m_nHashTableSize; }

    void InitHashTable(UINT nHashSize, BOOL bAllocNow = TRUE)
    {
        if (nHashSize == 0)
            AfxThrowInvalidArgException();
        CAssoc** pNewTable = nullptr;
        if (bAllocNow || m_nCount > 0)
            pNewTable = AllocBuckets(nHashSize);
        if (m_nCount > 0)
        {
            for (UINT nBucket = 0; nBucket < m_nHashTableSize; ++nBucket)
            {
                CAssoc* pAssoc = m_pHashTable[nBucket];
                while (pAssoc != nullptr)
                {
                    CAssoc* pNext = pAssoc->m_pNext;
                    CAssoc*& pHead = pNewTable[pAssoc->m_nHashValue % nHashSize];
                    pAssoc->m_pNext = pHead;
                    pHead = pAssoc;
                    pAssoc = pNext;
                }
            }
        }
        AfxFreeMemory(m_pHashTable);
        m_pHashTable = pNewTable;
        m_nHashTableSize = nHashSize;
    }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        CAssoc* pAssoc = Find(key, HASH::HashKey(key));
        if (pAssoc == nullptr)
            return FALSE;
        rValue = pAssoc->m_value;
        return TRUE;
    }

    // The value slot of key; an absent key is inserted with a zero or
    // empty value.
    VALUE& operator[](ARG_KEY key)
    {
        UINT nHashValue = HASH::HashKey(key);
        CAssoc* pAssoc = Find(key, nHashValue);
        if (pAssoc != nullptr)
            return pAssoc->m_value;
        if (m_pHashTable == nullptr)
            m_pHashTable = AllocBuckets(m_nHashTableSize);
        pAssoc = NewAssoc(key, nHashValue);
        CAssoc*& pHead = m_pHashTable[nHashValue % m_nHashTableSize];
        pAssoc->m_pNext = pHead;
        pHead = pAssoc;
        return pAssoc->m_value;
    }

    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }

    BOOL RemoveKey(ARG_KEY key)
    {
        if (m_pHashTable == nullptr)
            return FALSE;
        UINT nHashValue = HASH::HashKey(key);
        for (CAssoc** ppLink = &m_pHashTable[nHashValue % m_nHashTableSize]; *ppLink != nullptr;
             ppLink = &(*ppLink)->m_pNext)
        {
            CAssoc* pAssoc = *ppLink;
            if (pAssoc->m_nHashValue == nHashValue && pAssoc->m_key == key)
            {
                *ppLink = pAssoc->m_pNext;
                FreeAssoc(pAssoc);
                return TRUE;
            }
        }
        return FALSE;
    }

    void RemoveAll() noexcept
    {
        if (m_pHashTable != nullptr)
        {
            for (UINT nBucket = 0; nBucket < m_nHashTableSize; ++nBucket)
            {
                for (CAssoc* pAssoc = m_pHashTable[nBucket]; pAssoc != nullptr;)
                {
                    CAssoc* pNext = pAssoc->m_pNext;
                    pAssoc->~CAssoc();
                    pAssoc = pNext;
                }
            }
            AfxFreeMemory(m_pHashTable);
            m_pHashTable = nullptr;
        }
        while (m_pBlocks != nullptr)
        {
            CBlock* pNext = m_pBlocks->m_pNext;
            AfxFreeMemory(m_pBlocks);
            m_pBlocks = pNext;
        }
        m_pFreeList = nullptr;
        m_nCount = 0;
    }

    POSITION GetStartPosition() const noexcept
    {
        return m_nCount == 0 ? nullptr : BEFORE_START_POSITION;
    }

    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
    {
        if (rNextPosition == nullptr || m_pHashTable == nullptr)
            AfxThrowInvalidArgException();
        CAssoc* pAssoc = reinterpret_cast<CAssoc*>(rNextPosition);
        if (rNextPosition == BEFORE_START_POSITION)
            pAssoc = FirstInBucketsFrom(0);
        if (pAssoc == nullptr)
            AfxThrowInvalidArgException();
        CAssoc* pNext = pAssoc->m_pNext;
        if (pNext == nullptr)
            pNext = FirstInBucketsFrom(pAssoc->m_nHashValue % m_nHashTableSize + 1);
        rNextPosition = reinterpret_cast<POSITION>(pNext);
        rKey = pAssoc->m_key;
        rValue = pAssoc->m_value;
    }

protected:
    int GetBlockSize() const noexcept { return m_nBlockSize; }
    // Takes effect for blocks allocated from now on; below 1 raises
    // CInvalidArgException.
    void SetBlockSize(int nBlockSize)
    {
        if (nBlockSize < 1)
            AfxThrowInvalidArgException();
        m_nBlockSize = nBlockSize;
    }

private:
    struct CAssoc
    {
        CAssoc(ARG_KEY key, UINT nHashValue)
            : m_pNext(nullptr), m_nHashValue(nHashValue), m_key(key), m_value()
        {
        }

        CAssoc* m_pNext;
        UINT m_nHashValue; // full hash, so re-hashing never hashes a key again
        KEY m_key;
        VALUE m_value;
    };

    // What an unused entry slot holds while it waits on the free list.
    struct CFreeSlot
    {
        CFreeSlot* m_pNext;
    };

    union CSlot
    {
        alignas(CAssoc) unsigned char m_abAssoc[sizeof(CAssoc)];
        CFreeSlot m_free;
    };

    // A block header, followed by m_nBlockSize slots.
    struct CBlock
    {
        CBlock* m_pNext;
    };

    static constexpr size_t s_nSlotOffset =
        (sizeof(CBlock) + alignof(CSlot) - 1) / alignof(CSlot) * alignof(CSlot);

    static CAssoc** AllocBuckets(UINT nHashSize)
    {
        CAssoc** pTable = static_cast<CAssoc**>(AfxAllocArray(nHashSize, sizeof(CAssoc*)));
        for (UINT i = 0; i < nHashSize; ++i)
            pTable[i] = nullptr;
        return pTable;
    }

    CAssoc* Find(ARG_KEY key, UINT nHashValue) const
    {
        if (m_pHashTable == nullptr)
            return nullptr;
        for (CAssoc* pAssoc = m_pHashTable[nHashValue % m_nHashTableSize]; pAssoc != nullptr;
             pAssoc = pAssoc->m_pNext)
        {
            if (pAssoc->m_nHashValue == nHashValue && pAssoc->m_key == key)
                return pAssoc;
        }
        return nullptr;
    }

    CAssoc* FirstInBucketsFrom(UINT nBucket) const noexcept
    {
        for (; nBucket < m_nHashTableSize; ++nBucket)
        {
            if (m_pHashTable[nBucket] != nullptr)
                return m_pHashTable[nBucket];
        }
        return nullptr;
    }

    CAssoc* NewAssoc(ARG_KEY key, UINT nHashValue)
    {
        if (m_pFreeList == nullptr)
        {
            size_t nSlots = static_cast<size_t>(m_nBlockSize);
            if (nSlots > (SIZE_MAX - s_nSlotOffset) / sizeof(CSlot))
                AfxThrowMemoryException();
            CBlock* pBlock =
                static_cast<CBlock*>(AfxAllocMemory(s_nSlotOffset + nSlots * sizeof(CSlot)));
            pBlock->m_pNext = m_pBlocks;
            m_pBlocks = pBlock;
            CSlot* pSlots =
                reinterpret_cast<CSlot*>(reinterpret_cast<BYTE*>(pBlock) + s_nSlotOffset);
            for (size_t i = nSlots; i-- > 0;)
                PushFree(&pSlots[i]);
        }
        CFreeSlot* pFree = m_pFreeList;
        m_pFreeList = pFree->m_pNext;
        CAssoc* pAssoc;
        try
        {
            pAssoc = new (static_cast<void*>(pFree)) CAssoc(key, nHashValue);
        }
        catch (...)
        {
            PushFree(reinterpret_cast<CSlot*>(pFree));
            throw;
        }
        ++m_nCount;
        return pAssoc;
    }

    void FreeAssoc(CAssoc* pAssoc) noexcept
    {
        pAssoc->~CAssoc();
        PushFree(reinterpret_cast<CSlot*>(pAssoc));
        if (--m_nCount == 0)
            RemoveAll();
    }

    void PushFree(CSlot* pSlot) noexcept
    {
        m_pFreeList = new (static_cast<void*>(pSlot)) CFreeSlot{m_pFreeList};
    }

    CAssoc** m_pHashTable;
    UINT m_nHashTableSize;
    INT_PTR m_nCount;
    CFreeSlot* m_pFreeList;
    CBlock* m_pBlocks;
    int m_nBlockSize;
};
