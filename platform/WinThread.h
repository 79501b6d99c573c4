// WinThread.h - CWinThread, the message loop with idle processing.
//
// Run pumps messages until WM_QUIT. Each message is first offered to
// PreTranslateMessage (TRUE: it was handled and is not dispatched); when the
// queue runs dry, OnIdle is called with a rising count until it returns
// FALSE, and only a message that IsIdleMessage accepts starts idle
// processing again.
//
// Limit: the platform runs one thread object per module, the application
// object, in the thread that started it; AfxGetThread returns that object.
#pragma once

#include "CmdTarget.h"

class CWnd;

class CWinThread : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinThread)

public:
    CWinThread() = default;

    CWnd* GetMainWnd() const { return m_pMainWnd; }

    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // TRUE asks for another idle round.
    virtual BOOL OnIdle(LONG lCount);
    // Pointer moves to where the pointer already was, paints and system
    // timer ticks do not restart idle processing; everything else does.
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual int ExitInstance();

    CWnd* m_pMainWnd = nullptr;
    // The thread that constructed the object, the one its messages run in.
    DWORD m_nThreadID = ::GetCurrentThreadId();

private:
    // FALSE at WM_QUIT.
    BOOL PumpMessage(MSG& msg);

    POINT m_ptCursorLast = {-1, -1};
    UINT m_nMsgLast = 0;
};

CWinThread* AfxGetThread();
