// DWordArrayEx.h - CDWordArrayEx, an array of 32-bit values that holds a
// storage object only while it has elements, so an empty one costs a
// pointer.
//
// Record: the platform CDWordArray's (count form, then 32-bit elements).
// Loading replaces the elements. A count the remaining bytes cannot hold
// raises endOfFile before the elements are touched, in every build, so
// short element data never leaves unread elements behind. Whatever
// happens, an operation that leaves no elements drops the storage object.
#pragma once

#include "Arrays.h"

class CDWordArrayEx : public CObject
{
    DECLARE_SERIAL(CDWordArrayEx)
public:
    CDWordArrayEx() noexcept : m_pArray(nullptr) {}
    ~CDWordArrayEx() override;

    void Serialize(CArchive& ar) override;

    // Null while there are no elements.
    const CDWordArray* GetArray() const noexcept { return m_pArray; }
    INT_PTR Add(DWORD nValue);
    void RemoveAll() noexcept;

private:
    CDWordArray* Storage();
    void DropStorageIfEmpty() noexcept;

    CDWordArray* m_pArray;
};
