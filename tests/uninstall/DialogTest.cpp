// The dialog shown on this thread and driven from a second one, with a
// family key of the test's own.
#include "UninstallApp.h"
#include "UninstallDlg.h"
#include "UninstallTestSupport.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace
{

const DWORD c_nTimeoutMs = 15000;
const char c_szEnglish[] = "Vintora Uninstall";
const char c_szGerman[] = "Vintora Entfernen";

// The list's tab stops as the dialog sets them: there is no message to read
// them back, so a hook on this thread watches LB_SETTABSTOPS go by.
std::vector<int> g_tabStops;

LRESULT CALLBACK WatchTabStops(int nCode, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && pMsg->message == LB_SETTABSTOPS)
    {
        const int* pStops = reinterpret_cast<const int*>(pMsg->lParam);
        g_tabStops.assign(pStops, pStops + pMsg->wParam);
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

class DialogTest : public ::testing::Test
{
protected:
    // Shows the dialog; fnInspect sees it on the driver thread, which then
    // closes it with Escape's command. That runs the closing step, which
    // ends with IDOK here: the test program is no application's uninstaller.
    INT_PTR Show(BOOL bGerman, const char* pszCaption, const std::function<void(HWND)>& fnInspect)
    {
        CUninstallDlg dlg(m_key.Path().c_str(), bGerman);
        INT_PTR nResult = 0;
        g_tabStops.clear();
        HHOOK hHook =
            ::SetWindowsHookExA(WH_CALLWNDPROC, WatchTabStops, nullptr, ::GetCurrentThreadId());
        RunModalWithDriver(
            [&] { nResult = dlg.DoModal(); },
            [&]
            {
                HWND hDlg = WaitForDialog(pszCaption, ::GetCurrentProcessId(), c_nTimeoutMs);
                ASSERT_NE(nullptr, hDlg) << "no dialog " << pszCaption;
                fnInspect(hDlg);
                ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            });
        ::UnhookWindowsHookEx(hHook);
        return nResult;
    }

    void AddApp(int nApp, const char* pszName, const char* pszFolder)
    {
        std::string strApp = "App" + std::to_string(nApp);
        if (pszName)
            m_key.Set(strApp, "AppName", pszName);
        if (pszFolder)
            m_key.Set(strApp, "Directory", pszFolder);
    }

    static int GapPixels(HWND hDlg)
    {
        RECT rc = {0, 0, 1000, 1000};
        ::MapDialogRect(hDlg, &rc);
        return ::MulDiv(12, rc.right - rc.left, 1000);
    }

    CTestKey m_key;
};

TEST_F(DialogTest, ListsRecordedAppsSortedWithTheirNumbers)
{
    AddApp(0, "Zeta", "C:\\z");
    AddApp(3, "Alpha", "C:\\b");
    AddApp(7, "Alpha", "C:\\a");
    AddApp(12, nullptr, "C:\\noname");
    AddApp(13, "NoFolder", nullptr);
    AddApp(49, "M&M", "C:\\m");
    AddApp(50, "Never", "C:\\n");
    int nExtent = 0;
    int nGap = 0;
    INT_PTR nResult =
        Show(FALSE, c_szEnglish,
             [&](HWND hDlg)
             {
                 HWND hList = ::GetDlgItem(hDlg, IDC_APPS);
                 EXPECT_EQ((std::vector<std::string>{"Alpha\tC:\\a", "Alpha\tC:\\b", "M&M\tC:\\m",
                                                     "Zeta\tC:\\z"}),
                           ListItems(hList));
                 EXPECT_EQ((std::vector<DWORD_PTR>{7, 3, 49, 0}), ListItemData(hList));
                 nExtent = static_cast<int>(::SendMessageA(hList, LB_GETHORIZONTALEXTENT, 0, 0));
                 nGap = GapPixels(hDlg);
                 EXPECT_NE(nullptr,
                           reinterpret_cast<HICON>(::SendMessageA(hDlg, WM_GETICON, ICON_BIG, 0)));
             });
    EXPECT_EQ(IDOK, nResult);
    // Widest name and widest folder come from different apps; both count.
    EXPECT_GT(nExtent, nGap + 10);
    ASSERT_EQ(1u, g_tabStops.size());
    EXPECT_GT(g_tabStops[0], 12);
}

TEST_F(DialogTest, RemoveIsEnabledExactlyWhileSomethingIsSelected)
{
    AddApp(1, "One", "C:\\1");
    AddApp(2, "Two", "C:\\2");
    Show(FALSE, c_szEnglish,
         [&](HWND hDlg)
         {
             HWND hRemove = ::GetDlgItem(hDlg, IDC_REMOVE);
             EXPECT_FALSE(::IsWindowEnabled(hRemove));
             SelectItem(hDlg, IDC_APPS, 1);
             EXPECT_TRUE(::IsWindowEnabled(hRemove));
             SelectAll(hDlg, IDC_APPS, true);
             EXPECT_TRUE(::IsWindowEnabled(hRemove));
             SelectAll(hDlg, IDC_APPS, false);
             EXPECT_FALSE(::IsWindowEnabled(hRemove));
         });
}

TEST_F(DialogTest, EmptyListHasItsTabStopAtTwelveUnitsAndTheGapAsExtent)
{
    int nExtent = -1;
    int nGap = 0;
    INT_PTR nResult =
        Show(FALSE, c_szEnglish,
             [&](HWND hDlg)
             {
                 HWND hList = ::GetDlgItem(hDlg, IDC_APPS);
                 EXPECT_EQ(0, ::SendMessageA(hList, LB_GETCOUNT, 0, 0));
                 nExtent = static_cast<int>(::SendMessageA(hList, LB_GETHORIZONTALEXTENT, 0, 0));
                 nGap = GapPixels(hDlg);
             });
    EXPECT_EQ(IDOK, nResult);
    EXPECT_EQ(nGap, nExtent);
    EXPECT_EQ(std::vector<int>{12}, g_tabStops);
}

TEST_F(DialogTest, GermanFlagShowsTheGermanTemplate)
{
    Show(TRUE, c_szGerman,
         [&](HWND hDlg)
         {
             EXPECT_EQ("&Schlie\xDF"
                       "en",
                       WindowText(::GetDlgItem(hDlg, IDOK)));
             EXPECT_EQ("&Entfernen", WindowText(::GetDlgItem(hDlg, IDC_REMOVE)));
             RECT rc;
             ::GetWindowRect(::GetDlgItem(hDlg, IDC_APPS), &rc);
             EXPECT_GT(rc.bottom - rc.top, 0);
         });
    Show(FALSE, c_szEnglish,
         [&](HWND hDlg)
         {
             EXPECT_EQ("&Close", WindowText(::GetDlgItem(hDlg, IDOK)));
             EXPECT_EQ("&Remove", WindowText(::GetDlgItem(hDlg, IDC_REMOVE)));
         });
}

TEST_F(DialogTest, LanguageValueStartingWithCapitalDMeansGerman)
{
    const struct
    {
        const char* pszLanguage; // null: no value
        BOOL bGerman;
    } cases[] = {
        {"D", TRUE}, {"Deutsch", TRUE}, {"d", FALSE}, {"E", FALSE}, {"", FALSE}, {nullptr, FALSE},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszLanguage ? c.pszLanguage : "(missing)");
        CTestKey key;
        if (c.pszLanguage)
            key.Set("", "Language", c.pszLanguage);
        EXPECT_EQ(c.bGerman, CUninstallApp::IsGermanFamily(key.Path().c_str()));
    }
    CTestKey key;
    key.Set("", "Language", "D" + std::string(300, 'x'));
    EXPECT_TRUE(CUninstallApp::IsGermanFamily(key.Path().c_str()));
}

TEST(AppMessageBoxTest, ShowsTheTextOfTheLanguageWithTheFamilyCaption)
{
    const struct
    {
        BOOL bGerman;
        UINT nID;
        UINT nType;
        int nButton;
        const char* pszText;
    } cases[] = {
        {FALSE, IDS_CONFIRM_REMOVE, MB_YESNO, IDNO,
         "Are you sure that you want to remove the selected applications?"},
        {FALSE, IDS_REMOVED, MB_OK, IDOK,
         "The programs have been successfully removed from your computer."},
        {TRUE, IDS_CONFIRM_REMOVE, MB_YESNO, IDYES,
         "Sind Sie sicher, dass Sie die gew\xE4hlten Programme von Ihrem Computer entfernen "
         "m\xF6"
         "chten?"},
        {TRUE, IDS_REMOVED, MB_OK, IDOK,
         "Die Programme wurden erfoglreich von Ihrem Computer entfernt."},
    };
    CUninstallApp app;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszText);
        app.m_bGerman = c.bGerman;
        int nResult = 0;
        std::string strText;
        RunModalWithDriver([&] { nResult = app.AppMessageBox(c.nID, c.nType); },
                           [&]
                           {
                               HWND hBox =
                                   WaitForDialog("Vintora", ::GetCurrentProcessId(), c_nTimeoutMs);
                               ASSERT_NE(nullptr, hBox);
                               strText = WindowText(::GetDlgItem(hBox, 0xFFFF));
                               // PostMessage: SendMessage would wait for the box to end.
                               ::PostMessageA(::GetDlgItem(hBox, c.nButton), BM_CLICK, 0, 0);
                           });
        EXPECT_EQ(c.pszText, strText);
        EXPECT_EQ(c.nButton, nResult);
    }
}

} // namespace
