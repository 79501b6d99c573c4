// ClientDC.h - CClientDC, the client-area device context of a window,
// released when the object goes.
#pragma once

#include "Wnd.h"

class CClientDC
{
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC();
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    // Returns the object it replaced, to be selected back.
    HGDIOBJ SelectObject(HGDIOBJ hObject);
    int DrawText(LPCSTR pszText, int nCount, RECT* pRect, UINT nFormat);

private:
    HWND m_hWnd;
    HDC m_hDC;
};
