// CCommApp's message box and idle filter. The style rules and the
// help-context slot are checked through a recording message box; one real
// box, driven from a second thread, shows what the system makes of them.
#include "CommAppTestSupport.h"
#include "Wnd.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

namespace
{

struct CBoxCall
{
    HWND hOwner = nullptr;
    std::string strText;
    std::string strCaption;
    UINT nType = 0;
    DWORD dwContextDuring = 0; // the watched slot while the box is up
    std::string strModelessDuring;
};

CBoxCall g_call;
CTestCommApp* g_pApp = nullptr;
DWORD* g_pdwWatchedSlot = nullptr;

int WINAPI RecordMessageBox(HWND hWnd, LPCSTR pszText, LPCSTR pszCaption, UINT nType)
{
    g_call.hOwner = hWnd;
    g_call.strText = pszText;
    g_call.strCaption = pszCaption;
    g_call.nType = nType;
    g_call.dwContextDuring = *g_pdwWatchedSlot;
    g_call.strModelessDuring = static_cast<LPCSTR>(g_pApp->m_strModeless);
    return IDOK;
}

class MessageBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_app.InitInstance());
        g_pApp = &m_app;
        g_pdwWatchedSlot = &m_app.m_dwPromptContext;
        CCommApp::s_pfnMessageBox = &RecordMessageBox;
    }
    void TearDown() override
    {
        CCommApp::s_pfnMessageBox = &::MessageBoxA;
        DeleteSharedSection();
    }

    CTestCommApp m_app;
};

TEST_F(MessageBoxTest, DefaultIconOnlyForOkAndYesNoSets)
{
    struct Case
    {
        UINT nType;
        UINT nShown;
    };
    const Case cases[] = {
        {MB_OK, MB_OK | MB_ICONEXCLAMATION},
        {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
        {MB_ABORTRETRYIGNORE, MB_ABORTRETRYIGNORE},
        {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONEXCLAMATION},
        {MB_YESNO, MB_YESNO | MB_ICONEXCLAMATION},
        {MB_RETRYCANCEL, MB_RETRYCANCEL},
        {MB_CANCELTRYCONTINUE, MB_CANCELTRYCONTINUE},
        // A given icon stays, whatever the buttons.
        {MB_YESNO | MB_ICONHAND, MB_YESNO | MB_ICONHAND},
        {MB_OK | MB_ICONINFORMATION | MB_DEFBUTTON2, MB_OK | MB_ICONINFORMATION | MB_DEFBUTTON2},
        // Bit 28 never reaches the system.
        {0x10000000 | MB_OK | MB_ICONQUESTION, MB_OK | MB_ICONQUESTION},
        {0x10000000 | MB_RETRYCANCEL, MB_RETRYCANCEL},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.nType);
        EXPECT_EQ(m_app.DoMessageBox("Text", c.nType, 0), IDOK);
        EXPECT_EQ(g_call.nType, c.nShown);
        EXPECT_EQ(g_call.strCaption, "Vintora");
    }
}

TEST_F(MessageBoxTest, PromptTextFromPointerOrResource)
{
    m_app.DoMessageBox("Some text", MB_OK, 0);
    EXPECT_EQ(g_call.strText, "Some text");
    // The test program has no string resources: a number gives empty text.
    m_app.DoMessageBox(MAKEINTRESOURCEA(4711), MB_OK, 0);
    EXPECT_EQ(g_call.strText, "");
    m_app.DoMessageBox(nullptr, MB_OK, 0);
    EXPECT_EQ(g_call.strText, "");
}

TEST_F(MessageBoxTest, ApplicationSlotHoldsThePromptContextWhileUp)
{
    m_app.m_dwPromptContext = 0x55;
    m_app.DoMessageBox("Text", MB_OK, 7);
    EXPECT_EQ(g_call.dwContextDuring, 0x30007u);
    EXPECT_EQ(m_app.m_dwPromptContext, 0x55u);
    EXPECT_EQ(g_call.strModelessDuring, "-");
    EXPECT_EQ(std::string(m_app.m_strModeless), "-+");

    m_app.DoMessageBox("Text", MB_OK, 0);
    EXPECT_EQ(g_call.dwContextDuring, 0x55u);
}

DWORD g_dwWindowSlot = 0;

LRESULT CALLBACK SlotWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == 0x0376)
        return reinterpret_cast<LRESULT>(&g_dwWindowSlot);
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

TEST_F(MessageBoxTest, MainWindowLendsItsSlot)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &SlotWndProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "ChimoraSlotWindow";
    ::RegisterClassA(&wc);
    HWND hWnd = ::CreateWindowA("ChimoraSlotWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(hWnd, nullptr);
    CWnd wnd;
    wnd.Attach(hWnd);
    m_app.m_pMainWnd = &wnd;
    g_dwWindowSlot = 0x11;
    m_app.m_dwPromptContext = 0x22;
    g_pdwWatchedSlot = &g_dwWindowSlot;

    m_app.DoMessageBox("Text", MB_OK, 9);
    EXPECT_EQ(g_call.dwContextDuring, 0x30009u);
    EXPECT_EQ(g_dwWindowSlot, 0x11u);
    EXPECT_EQ(m_app.m_dwPromptContext, 0x22u);

    m_app.m_pMainWnd = nullptr;
    ::DestroyWindow(wnd.Detach());
}

// The icon control of a shown box: its icon if the control is visible.
BOOL CALLBACK FindIcon(HWND hChild, LPARAM lParam)
{
    char szClass[16];
    ::GetClassNameA(hChild, szClass, sizeof(szClass));
    if (lstrcmpiA(szClass, "Static") == 0 &&
        (::GetWindowLongA(hChild, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && ::IsWindowVisible(hChild))
        *reinterpret_cast<HICON*>(lParam) =
            reinterpret_cast<HICON>(::SendMessageA(hChild, STM_GETICON, 0, 0));
    return TRUE;
}

TEST(MessageBoxShownTest, SystemBoxShowsTheChosenIcon)
{
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs an X display";
    CTestCommApp app;
    ASSERT_TRUE(app.InitInstance());
    struct Case
    {
        UINT nType;
        int nButton; // the button the driver presses
        BOOL bIcon;
    };
    const Case cases[] = {{MB_YESNO, IDNO, TRUE}, {MB_ABORTRETRYIGNORE, IDIGNORE, FALSE}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.nType);
        HICON hIcon = nullptr;
        BOOL bFound = FALSE;
        std::thread driver(
            [&]
            {
                for (int i = 0; i < 200 && !bFound; ++i, ::Sleep(25))
                {
                    HWND hBox = ::FindWindowA("#32770", "Vintora");
                    if (hBox == nullptr || !::IsWindowVisible(hBox))
                        continue;
                    // The box is shown before it has set up its controls.
                    ::Sleep(200);
                    bFound = TRUE;
                    ::EnumChildWindows(hBox, &FindIcon, reinterpret_cast<LPARAM>(&hIcon));
                    ::PostMessageA(::GetDlgItem(hBox, c.nButton), BM_CLICK, 0, 0);
                }
            });
        int nResult = app.DoMessageBox("Shown from a test", c.nType, 0);
        driver.join();
        ASSERT_TRUE(bFound);
        EXPECT_EQ(nResult, c.nButton);
        EXPECT_EQ(hIcon != nullptr, c.bIcon);
    }
    app.ExitInstance();
    DeleteSharedSection();
}

// The idle filter's clock. Each test starts far beyond the last one, so
// timestamps left by an earlier test in the same process never interfere.
DWORD g_dwNow = 0;
DWORD WINAPI FakeTickCount()
{
    return g_dwNow;
}

class IdleFilterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CCommApp::s_pfnGetTickCount = &FakeTickCount;
        m_dwStart = g_dwNow += 10000000;
    }
    void TearDown() override { CCommApp::s_pfnGetTickCount = &::GetTickCount; }

    BOOL IsIdleAt(DWORD dwOffset, UINT nMessage, LONG x = 0)
    {
        g_dwNow = m_dwStart + dwOffset;
        MSG msg = {};
        msg.message = nMessage;
        msg.pt.x = x; // each pointer message somewhere new unless told
        return m_app.IsIdleMessage(&msg);
    }

    CTestCommApp m_app;
    DWORD m_dwStart = 0;
};

TEST_F(IdleFilterTest, PointerAndTimerThrottles)
{
    struct Step
    {
        DWORD dwOffset;
        UINT nMessage;
        BOOL bIdle;
    };
    // The five pointer messages share one timestamp; WM_TIMER has its own.
    const Step steps[] = {
        {0, WM_MOUSEMOVE, TRUE},       {500, WM_SETCURSOR, FALSE},    {1000, WM_NCHITTEST, FALSE},
        {1001, WM_NCMOUSELEAVE, TRUE}, {1500, WM_NCMOUSEMOVE, FALSE}, {2002, WM_NCMOUSEMOVE, TRUE},
        {2002, WM_TIMER, TRUE},        {2500, WM_TIMER, FALSE},       {5002, WM_TIMER, FALSE},
        {5003, WM_TIMER, TRUE},        {5003, WM_SETCURSOR, TRUE},
    };
    LONG x = 0;
    for (const Step& s : steps)
    {
        SCOPED_TRACE(s.dwOffset);
        EXPECT_EQ(IsIdleAt(s.dwOffset, s.nMessage, ++x), s.bIdle);
    }
}

TEST_F(IdleFilterTest, PlatformRulesApplyBehindTheThrottle)
{
    EXPECT_TRUE(IsIdleAt(0, WM_MOUSEMOVE, 5));
    // Let through by the throttle, but the pointer has not moved.
    EXPECT_FALSE(IsIdleAt(2000, WM_MOUSEMOVE, 5));
    EXPECT_FALSE(IsIdleAt(2000, WM_PAINT));
    EXPECT_TRUE(IsIdleAt(2000, WM_KEYDOWN));
}

TEST_F(IdleFilterTest, RegisteredPrivateMessageIsNeverIdle)
{
    EXPECT_FALSE(IsIdleAt(0, ::RegisterWindowMessageA("MSUIM.Msg.Private")));
    EXPECT_TRUE(IsIdleAt(0, ::RegisterWindowMessageA("ChimoraTest.Other")));
}

} // namespace
