#include "WinThread.h"

#include "WinApp.h"

// CCmdTarget carries no class record, so the chain goes on at CObject.
IMPLEMENT_DYNAMIC(CWinThread, CObject)

// The system's own caret and scroll timer; it fires constantly and says
// nothing about the application's state.
static const UINT WM_SYSTIMER = 0x0118;

int CWinThread::Run()
{
    MSG msg;
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    for (;;)
    {
        while (bIdle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            if (!OnIdle(lIdleCount++))
                bIdle = FALSE;
        }
        do
        {
            if (!PumpMessage(msg))
                return ExitInstance();
            if (IsIdleMessage(&msg))
            {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinThread::PumpMessage(MSG& msg)
{
    if (::GetMessageA(&msg, nullptr, 0, 0) <= 0)
        return FALSE;
    if (!PreTranslateMessage(&msg))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG)
{
    return FALSE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE)
    {
        if (pMsg->message == m_nMsgLast && pMsg->pt.x == m_ptCursorLast.x &&
            pMsg->pt.y == m_ptCursorLast.y)
            return FALSE;
        m_ptCursorLast = pMsg->pt;
        m_nMsgLast = pMsg->message;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != WM_SYSTIMER;
}

int CWinThread::ExitInstance()
{
    return 0;
}

CWinThread* AfxGetThread()
{
    return AfxGetApp();
}
