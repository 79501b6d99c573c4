#include "Bitmap.h"

IMPLEMENT_DYNAMIC(CBitmap, CObject)

CBitmap::~CBitmap()
{
    DeleteObject();
}

BOOL CBitmap::Attach(HBITMAP hBitmap)
{
    if (hBitmap == nullptr || m_hObject != nullptr)
        return FALSE;
    m_hObject = hBitmap;
    return TRUE;
}

HBITMAP CBitmap::Detach()
{
    HBITMAP hBitmap = m_hObject;
    m_hObject = nullptr;
    return hBitmap;
}

BOOL CBitmap::DeleteObject()
{
    if (m_hObject == nullptr)
        return FALSE;
    ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(HDC hDC, int nWidth, int nHeight)
{
    DeleteObject();
    m_hObject = ::CreateCompatibleBitmap(hDC, nWidth, nHeight);
    return m_hObject != nullptr;
}

BOOL CBitmap::CreateBitmapIndirect(const BITMAP* pBitmap)
{
    DeleteObject();
    m_hObject = ::CreateBitmapIndirect(pBitmap);
    return m_hObject != nullptr;
}

int CBitmap::GetObject(int nCount, LPVOID pObject) const
{
    if (m_hObject == nullptr)
        return 0;
    return ::GetObjectA(m_hObject, nCount, pObject);
}

BOOL CBitmap::GetBitmap(BITMAP* pBitMap) const
{
    return GetObject(sizeof(BITMAP), pBitMap) == static_cast<int>(sizeof(BITMAP));
}

SIZE CBitmap::SetBitmapDimension(int nWidth, int nHeight)
{
    SIZE size = {0, 0};
    if (m_hObject != nullptr)
        ::SetBitmapDimensionEx(m_hObject, nWidth, nHeight, &size);
    return size;
}
