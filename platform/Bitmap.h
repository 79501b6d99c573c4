// Bitmap.h - CBitmap, the owner of one GDI bitmap handle.
//
// An empty CBitmap holds no handle; the destructor deletes a held bitmap.
// It derives from CObject so that object maps can hold it; like every
// CObject it is allocated through AfxAllocMemory.
//
// Attach takes ownership of a handle only into an empty object and refuses a
// null one, so a handle is never dropped without being deleted; Detach hands
// ownership back. Results of the GDI calls are passed on, not examined.
#pragma once

#include "Object.h"

class CBitmap : public CObject
{
    DECLARE_DYNAMIC(CBitmap)

public:
    CBitmap() = default;
    ~CBitmap() override;

    // FALSE (and nothing taken) for a null handle or when one is held.
    BOOL Attach(HBITMAP hBitmap);
    HBITMAP Detach();
    // Deletes the held bitmap, if any; FALSE when there was none.
    BOOL DeleteObject();

    // Each replaces the held bitmap; FALSE when GDI made none.
    BOOL CreateCompatibleBitmap(HDC hDC, int nWidth, int nHeight);
    // The record's bmBits is passed on as given: callers that read a record
    // from outside set it to null.
    BOOL CreateBitmapIndirect(const BITMAP* pBitmap);

    // GetObject over the held handle: bytes copied, 0 without a handle.
    int GetObject(int nCount, LPVOID pObject) const;
    BOOL GetBitmap(BITMAP* pBitMap) const;
    // The dimension is a size in 0.1 mm that GDI only stores; returns the
    // previous one (0, 0 without a handle).
    SIZE SetBitmapDimension(int nWidth, int nHeight);

    HBITMAP GetSafeHandle() const { return m_hObject; }

private:
    HBITMAP m_hObject = nullptr;
};
