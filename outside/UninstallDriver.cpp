// UninstallDriver.exe - plays the user of a running Uninstall.exe, one step
// per run, so that a script can take screenshots between the steps.
//
//   UninstallDriver.exe wait            the dialog is up
//   UninstallDriver.exe list            prints the list's items
//   UninstallDriver.exe select NAME     selects the application NAME
//   UninstallDriver.exe remove          presses Remove; prints the question
//   UninstallDriver.exe answer yes|no   answers it; after yes prints the
//                                       completion message and acknowledges it
//   UninstallDriver.exe close           presses Close
//
// Exits with 1 when the dialog or a message box does not come in time.
#include "UninstallTestSupport.h"
#include "resource.h"

#include <cstdio>
#include <cstring>

namespace
{

const DWORD c_nTimeoutMs = 20000;

struct CTarget
{
    HWND hDlg = nullptr;
    DWORD dwProcessId = 0;
};

CTarget FindUninstallDialog()
{
    CTarget target;
    WaitUntil(
        [&]
        {
            for (const char* pszCaption : {"Vintora Uninstall", "Vintora Entfernen"})
            {
                HWND hDlg = ::FindWindowA("#32770", pszCaption);
                if (hDlg != nullptr && ::IsWindowVisible(hDlg))
                {
                    target.hDlg = hDlg;
                    ::GetWindowThreadProcessId(hDlg, &target.dwProcessId);
                    return true;
                }
            }
            return false;
        },
        c_nTimeoutMs);
    return target;
}

// Presses the button of the program's message box; prints the box's text.
bool PressInMessageBox(const CTarget& target, int nButton)
{
    HWND hBox = WaitForDialog("Vintora", target.dwProcessId, c_nTimeoutMs);
    if (hBox == nullptr)
        return false;
    std::printf("%s\n", WindowText(::GetDlgItem(hBox, 0xFFFF)).c_str());
    ::PostMessageA(::GetDlgItem(hBox, nButton), BM_CLICK, 0, 0);
    return WaitUntil([&] { return !::IsWindow(hBox); }, c_nTimeoutMs);
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: UninstallDriver wait|list|select NAME|remove|answer yes|no|close\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    std::string strStep = argv[1];
    CTarget target = FindUninstallDialog();
    if (target.hDlg == nullptr)
    {
        std::fprintf(stderr, "no uninstall dialog\n");
        return 1;
    }
    HWND hList = ::GetDlgItem(target.hDlg, IDC_APPS);
    if (strStep == "wait")
        return 0;
    if (strStep == "list")
    {
        for (const std::string& strItem : ListItems(hList))
            std::printf("%s\n", strItem.c_str());
        return 0;
    }
    if (strStep == "select" && argc == 3)
    {
        std::vector<std::string> items = ListItems(hList);
        for (size_t i = 0; i < items.size(); ++i)
        {
            if (items[i].compare(0, items[i].find('\t'), argv[2]) == 0)
            {
                SelectItem(target.hDlg, IDC_APPS, static_cast<int>(i));
                return 0;
            }
        }
        std::fprintf(stderr, "no application %s in the list\n", argv[2]);
        return 1;
    }
    if (strStep == "remove")
    {
        ::PostMessageA(::GetDlgItem(target.hDlg, IDC_REMOVE), BM_CLICK, 0, 0);
        HWND hBox = WaitForDialog("Vintora", target.dwProcessId, c_nTimeoutMs);
        if (hBox == nullptr)
            return 1;
        std::printf("%s\n", WindowText(::GetDlgItem(hBox, 0xFFFF)).c_str());
        return 0;
    }
    if (strStep == "answer" && argc == 3 &&
        (!std::strcmp(argv[2], "yes") || !std::strcmp(argv[2], "no")))
    {
        bool bYes = !std::strcmp(argv[2], "yes");
        if (!PressInMessageBox(target, bYes ? IDYES : IDNO))
            return 1;
        return !bYes || PressInMessageBox(target, IDOK) ? 0 : 1;
    }
    if (strStep == "close")
    {
        ::PostMessageA(::GetDlgItem(target.hDlg, IDOK), BM_CLICK, 0, 0);
        return 0;
    }
    return Usage();
}
