// CCommApp's message box and idle filter.
#include "CommApp.h"

DWORD(WINAPI* CCommApp::s_pfnGetTickCount)() = &::GetTickCount;
int(WINAPI* CCommApp::s_pfnMessageBox)(HWND, LPCSTR, LPCSTR, UINT) = &::MessageBoxA;

// Tick of the last pointer message (one for all five) and of the last
// WM_TIMER that restarted idle processing.
static DWORD g_dwLastPointerIdle = 0;
static DWORD g_dwLastTimerIdle = 0;
static int g_nMsuimMessage = -1;

// Nothing in the family sets it; the system must not see it.
static const UINT MB_FAMILY_RESERVED = 0x10000000;

// Yes/No boxes without an icon get the exclamation icon too.
int CCommApp::DoMessageBox(LPCSTR pszPrompt, UINT nType, UINT nIDPrompt)
{
    return ShowMessageBox(pszPrompt, nType & ~MB_FAMILY_RESERVED, nIDPrompt, MB_ICONEXCLAMATION,
                          s_pfnMessageBox);
}

BOOL CCommApp::IsIdleMessage(MSG* pMsg)
{
    DWORD* pdwLast = nullptr;
    DWORD dwInterval = 0;
    switch (pMsg->message)
    {
    case WM_SETCURSOR:
    case WM_NCHITTEST:
    case WM_NCMOUSEMOVE:
    case WM_MOUSEMOVE:
    case WM_NCMOUSELEAVE:
        pdwLast = &g_dwLastPointerIdle;
        dwInterval = 1000;
        break;
    case WM_TIMER:
        pdwLast = &g_dwLastTimerIdle;
        dwInterval = 3000;
        break;
    }
    if (pdwLast != nullptr)
    {
        // The difference, not last + interval, so the wrap of the tick
        // counter after 49.7 days cannot open or stall the throttle.
        DWORD dwNow = s_pfnGetTickCount();
        if (dwNow - *pdwLast <= dwInterval)
            return FALSE;
        *pdwLast = dwNow;
        return CWinApp::IsIdleMessage(pMsg);
    }

    // A failed registration gives 0 and is not retried, as the system would
    // give 0 again.
    if (g_nMsuimMessage == -1)
        g_nMsuimMessage = static_cast<int>(::RegisterWindowMessageA("MSUIM.Msg.Private"));
    if (pMsg->message == static_cast<UINT>(g_nMsuimMessage))
        return FALSE;
    return CWinApp::IsIdleMessage(pMsg);
}
