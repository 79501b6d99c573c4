// ArrayBase.h - CArrayBase, the growable array behind CPtrArray, CDWordArray
// and CArray.
//
// Sizes and indexes are INT_PTR. New elements are value-initialised (zero
// for numbers and pointers). An index, size or count out of range raises
// CInvalidArgException rather than touching memory. Growth beyond the
// capacity steps by the grow-by value, or when that is 0 by
// max(4, min(1024, size / 8)) elements.
//
// Elements must be nothrow default- and move-constructible and nothrow
// move-assignable, which makes every size change all-or-nothing: only the
// allocation can fail, with CMemoryException, before anything is touched.
// Copying the caller's element in (SetAt, InsertAt) is the one step that can
// fail after that, for element types whose copy allocates.
#pragma once

#include "Exceptions.h"
#include "Memory.h"
#include "Object.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <type_traits>
#include <utility>

template <class TYPE, class ARG_TYPE>
class CArrayBase : public CObject
{
    static_assert(std::is_nothrow_default_constructible<TYPE>::value &&
                      std::is_nothrow_move_constructible<TYPE>::value &&
                      std::is_nothrow_move_assignable<TYPE>::value,
                  "array elements must not throw on default construction or move");

public:
    CArrayBase() noexcept : m_pData(nullptr), m_nSize(0), m_nMaxSize(0), m_nGrowBy(0) {}
    ~CArrayBase() override { RemoveAll(); }

    INT_PTR GetSize() const noexcept { return m_nSize; }
    INT_PTR GetCount() const noexcept { return m_nSize; }
    INT_PTR GetUpperBound() const noexcept { return m_nSize - 1; }
    BOOL IsEmpty() const noexcept { return m_nSize == 0; }

    // nGrowBy -1 keeps the current step. Size 0 releases the storage.
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1)
    {
        if (nNewSize < 0 || nGrowBy < -1)
            AfxThrowInvalidArgException();
        if (nGrowBy >= 0)
            m_nGrowBy = nGrowBy;
        if (nNewSize == 0)
        {
            RemoveAll();
            return;
        }
        if (nNewSize > m_nMaxSize)
            Reallocate(NewCapacityFor(nNewSize));
        if (nNewSize > m_nSize)
            std::uninitialized_value_construct(m_pData + m_nSize, m_pData + nNewSize);
        else
            std::destroy(m_pData + nNewSize, m_pData + m_nSize);
        m_nSize = nNewSize;
    }

    const TYPE& GetAt(INT_PTR nIndex) const { return m_pData[CheckIndex(nIndex)]; }
    TYPE& ElementAt(INT_PTR nIndex) { return m_pData[CheckIndex(nIndex)]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { ElementAt(nIndex) = newElement; }
    const TYPE& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }

    const TYPE* GetData() const noexcept { return m_pData; }
    TYPE* GetData() noexcept { return m_pData; }

    // Returns the new element's index. newElement may be an element of
    // this array.
    INT_PTR Add(ARG_TYPE newElement)
    {
        TYPE copy(newElement);
        INT_PTR nIndex = m_nSize;
        SetSize(CheckedSum(m_nSize, 1));
        m_pData[nIndex] = std::move(copy);
        return nIndex;
    }

    // nCount copies at nIndex; an index at or past the end grows the array
    // to reach it.
    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1)
    {
        if (nIndex < 0 || nCount < 0)
            AfxThrowInvalidArgException();
        if (nCount == 0)
            return;
        TYPE copy(newElement);
        INT_PTR nOldSize = m_nSize;
        if (nIndex >= nOldSize)
        {
            SetSize(CheckedSum(nIndex, nCount));
        }
        else
        {
            SetSize(CheckedSum(nOldSize, nCount));
            std::move_backward(m_pData + nIndex, m_pData + nOldSize, m_pData + nOldSize + nCount);
        }
        std::fill(m_pData + nIndex, m_pData + nIndex + nCount, copy);
    }

    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1)
    {
        if (nIndex < 0 || nCount < 0 || nIndex > m_nSize - nCount)
            AfxThrowInvalidArgException();
        std::move(m_pData + nIndex + nCount, m_pData + m_nSize, m_pData + nIndex);
        std::destroy(m_pData + m_nSize - nCount, m_pData + m_nSize);
        m_nSize -= nCount;
    }

    void RemoveAll() noexcept
    {
        std::destroy(m_pData, m_pData + m_nSize);
        AfxFreeMemory(m_pData);
        m_pData = nullptr;
        m_nSize = 0;
        m_nMaxSize = 0;
    }

    // Shrinks the storage to the size.
    void FreeExtra()
    {
        if (m_nSize == 0)
            RemoveAll();
        else if (m_nSize != m_nMaxSize)
            Reallocate(m_nSize);
    }

private:
    INT_PTR CheckIndex(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nSize)
            AfxThrowInvalidArgException();
        return nIndex;
    }

    static INT_PTR CheckedSum(INT_PTR a, INT_PTR b)
    {
        if (a > std::numeric_limits<INT_PTR>::max() - b)
            AfxThrowMemoryException();
        return a + b;
    }

    INT_PTR NewCapacityFor(INT_PTR nNewSize) const
    {
        if (m_pData == nullptr)
            return std::max(nNewSize, m_nGrowBy);
        INT_PTR nGrowBy = m_nGrowBy;
        if (nGrowBy == 0)
            nGrowBy = std::max<INT_PTR>(4, std::min<INT_PTR>(1024, m_nSize / 8));
        if (m_nMaxSize > std::numeric_limits<INT_PTR>::max() - nGrowBy)
            return nNewSize;
        return std::max(nNewSize, m_nMaxSize + nGrowBy);
    }

    void Reallocate(INT_PTR nNewMax)
    {
        TYPE* pNew = static_cast<TYPE*>(AfxAllocArray(static_cast<size_t>(nNewMax), sizeof(TYPE)));
        std::uninitialized_move(m_pData, m_pData + m_nSize, pNew);
        std::destroy(m_pData, m_pData + m_nSize);
        AfxFreeMemory(m_pData);
        m_pData = pNew;
        m_nMaxSize = nNewMax;
    }

    TYPE* m_pData;
    INT_PTR m_nSize;
    INT_PTR m_nMaxSize;
    INT_PTR m_nGrowBy;
};
