// Arrays.h - CArray, CPtrArray and CDWordArray.
//
// CArray<TYPE, ARG_TYPE> adds the archive record to CArrayBase: the element
// count in the archive's count form, then the elements through
// SerializeElements. The default SerializeElements streams each element
// with the archive's operator<< / operator>>, so numbers go little-endian at
// their fixed width (DWORD 32 bits, ULONGLONG 64 bits, ...) and strings in
// the string form. An element type without archive operators does not
// compile until it gets its own SerializeElements specialisation; it may
// also specialise CArchivedSize, the least bytes one element takes.
//
// Loading sets the size to the stored count (new elements zero) and reads
// the elements over them. Before it allocates, it checks that count times
// CArchivedSize<TYPE>::nMin bytes are still there, so a hostile count fails
// with CArchiveException(endOfFile) instead of a huge allocation; each
// element read is checked, so a short record raises endOfFile too.
//
// CPtrArray has no record (pointers mean nothing in a file); CDWordArray's
// record is CArray's with 32-bit elements.
#pragma once

#include "ArrayBase.h"
#include "Archive.h"

// The least number of bytes one archived element takes.
template <class TYPE>
struct CArchivedSize
{
    static constexpr size_t nMin = std::is_arithmetic<TYPE>::value ? sizeof(TYPE) : 1;
};

template <class TYPE>
void SerializeElements(CArchive& ar, TYPE* pElements, INT_PTR nCount)
{
    if (ar.IsStoring())
    {
        for (INT_PTR i = 0; i < nCount; ++i)
            ar << pElements[i];
    }
    else
    {
        for (INT_PTR i = 0; i < nCount; ++i)
            ar >> pElements[i];
    }
}

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CArrayBase<TYPE, ARG_TYPE>
{
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
        {
            ar.WriteCount(static_cast<ULONGLONG>(this->GetSize()));
            SerializeElements<TYPE>(ar, this->GetData(), this->GetSize());
            return;
        }
        DWORD_PTR nCount = ar.ReadCount();
        ar.EnsureAvailable(nCount, CArchivedSize<TYPE>::nMin);
        if (nCount > static_cast<DWORD_PTR>(std::numeric_limits<INT_PTR>::max()))
            AfxThrowArchiveException(CArchiveException::endOfFile);
        this->SetSize(static_cast<INT_PTR>(nCount));
        SerializeElements<TYPE>(ar, this->GetData(), static_cast<INT_PTR>(nCount));
    }
};

class CPtrArray : public CArrayBase<void*, void*>
{
    DECLARE_DYNAMIC(CPtrArray)
};

class CDWordArray : public CArray<DWORD, DWORD>
{
    DECLARE_DYNAMIC(CDWordArray)
};
