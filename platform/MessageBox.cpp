#include "MessageBox.h"

#include "WinApp.h"
#include "Wnd.h"

HWND AfxGetSafeOwner(HWND hParent, HWND* phWndTop)
{
    HWND hWnd = hParent;
    if (hWnd == nullptr)
    {
        CWinThread* pThread = AfxGetThread();
        CWnd* pMainWnd = pThread ? pThread->GetMainWnd() : nullptr;
        hWnd = pMainWnd ? pMainWnd->GetSafeHwnd() : nullptr;
    }
    // A popup cannot be owned by a child window.
    while (hWnd != nullptr && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);

    HWND hWndTop = hWnd;
    for (HWND hAbove = hWnd ? ::GetParent(hWnd) : nullptr; hAbove != nullptr;
         hAbove = ::GetParent(hAbove))
        hWndTop = hAbove;

    if (hParent == nullptr && hWnd != nullptr)
        hWnd = ::GetLastActivePopup(hWnd);

    if (phWndTop != nullptr)
    {
        *phWndTop = nullptr;
        if (hWndTop != nullptr && hWndTop != hWnd && ::IsWindowEnabled(hWndTop))
        {
            ::EnableWindow(hWndTop, FALSE);
            *phWndTop = hWndTop;
        }
    }
    return hWnd;
}

CString AfxGetPromptText(LPCSTR pszPrompt)
{
    CString strText;
    if (reinterpret_cast<ULONG_PTR>(pszPrompt) <= 0xFFFF)
    {
        if (pszPrompt != nullptr)
            AfxLoadString(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(pszPrompt)), strText);
        return strText;
    }
    return pszPrompt;
}

CMessageBoxScope::CMessageBoxScope(CWinApp* pApp, UINT nIDPrompt) : m_pApp(pApp)
{
    pApp->EnableModeless(FALSE);
    m_hWndOwner = AfxGetSafeOwner(nullptr, &m_hWndTop);

    CWinThread* pThread = AfxGetThread();
    CWnd* pMainWnd = pThread ? pThread->GetMainWnd() : nullptr;
    if (pMainWnd != nullptr && pMainWnd->GetSafeHwnd() != nullptr)
        m_pdwContext = reinterpret_cast<DWORD*>(
            ::SendMessageA(pMainWnd->GetSafeHwnd(), WM_HELPPROMPTADDR, 0, 0));
    if (m_pdwContext == nullptr)
        m_pdwContext = &pApp->m_dwPromptContext;

    m_dwOldContext = *m_pdwContext;
    if (nIDPrompt != 0)
        *m_pdwContext = 0x30000 + nIDPrompt;
}

CMessageBoxScope::~CMessageBoxScope()
{
    *m_pdwContext = m_dwOldContext;
    if (m_hWndTop != nullptr)
        ::EnableWindow(m_hWndTop, TRUE);
    m_pApp->EnableModeless(TRUE);
}

int CWinApp::DoMessageBox(LPCSTR pszPrompt, UINT nType, UINT nIDPrompt)
{
    return ShowMessageBox(pszPrompt, nType, nIDPrompt, MB_ICONQUESTION, &::MessageBoxA);
}

int CWinApp::ShowMessageBox(LPCSTR pszPrompt, UINT nType, UINT nIDPrompt, UINT nYesNoIcon,
                            PFNMESSAGEBOX pfnShow)
{
    CString strText = AfxGetPromptText(pszPrompt);
    CMessageBoxScope scope(this, nIDPrompt);
    if ((nType & MB_ICONMASK) == 0)
    {
        switch (nType & MB_TYPEMASK)
        {
        case MB_OK:
        case MB_OKCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= nYesNoIcon;
            break;
        }
    }
    return pfnShow(scope.GetOwner(), strText, m_pszAppName, nType);
}
