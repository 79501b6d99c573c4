#include "ClientDC.h"

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()), m_hDC(::GetDC(m_hWnd)) {}

CClientDC::~CClientDC()
{
    if (m_hDC != nullptr)
        ::ReleaseDC(m_hWnd, m_hDC);
}

HGDIOBJ CClientDC::SelectObject(HGDIOBJ hObject)
{
    return ::SelectObject(m_hDC, hObject);
}

int CClientDC::DrawText(LPCSTR pszText, int nCount, RECT* pRect, UINT nFormat)
{
    return ::DrawTextA(m_hDC, pszText, nCount, pRect, nFormat);
}
