#include "RemoveFlowFixture.h"

#include "resource.h"

#include <fstream>

const CLanguage c_english = {"E", "Vintora Uninstall",
                             "Are you sure that you want to remove the selected applications?",
                             "The programs have been successfully removed from your computer."};
const CLanguage c_german = {
    "D", "Vintora Entfernen",
    "Sind Sie sicher, dass Sie die gew\xE4hlten Programme von Ihrem Computer entfernen m\xF6"
    "chten?",
    "Die Programme wurden erfoglreich von Ihrem Computer entfernt."};

void PrintTo(const CLanguage& lang, std::ostream* pOut)
{
    *pOut << lang.pszCode;
}

void RemoveFlowTest::Install(const std::string& strDescription, const char* pszLanguage)
{
    std::string strText;
    for (size_t i = 0; i < strDescription.size(); ++i)
    {
        if (strDescription.compare(i, 2, "%T") == 0)
        {
            strText += m_tmp.Path();
            ++i;
        }
        else
            strText += strDescription[i];
    }
    std::ofstream(m_tmp / "apps.ini") << strText;
    HANDLE hRun = StartProgram(ProgramBesideTest("InstallerStandIn.exe"),
                               std::string("--language ") + pszLanguage + " --uninstaller \"" +
                                   ProgramBesideTest() + "\" \"" + (m_tmp / "apps.ini") + "\"");
    ASSERT_NE(nullptr, hRun);
    ASSERT_TRUE(Ended(hRun, c_nTimeoutMs));
    DWORD dwExit = 1;
    ::GetExitCodeProcess(hRun, &dwExit);
    ::CloseHandle(hRun);
    ASSERT_EQ(0u, dwExit);
}

HWND RemoveFlowTest::Start(const std::string& strFolder, const char* pszCaption)
{
    m_tmp.MakeFolder("temp dir");
    m_strEnv = EnvironmentWithTemp(m_tmp / "temp dir");
    m_hRun = StartProgram(m_tmp / (strFolder + "\\Uninstall.exe"), "", &m_strEnv);
    EXPECT_NE(nullptr, m_hRun);
    return WaitForDialog(pszCaption, ::GetProcessId(m_hRun), c_nTimeoutMs);
}

std::vector<std::string> RemoveFlowTest::Remove(HWND hDlg, int nAnswer)
{
    std::vector<std::string> texts;
    ::PostMessageA(::GetDlgItem(hDlg, IDC_REMOVE), BM_CLICK, 0, 0);
    for (int nButton : {nAnswer, nAnswer == IDYES ? IDOK : 0})
    {
        if (nButton == 0)
            break;
        HWND hBox = WaitForDialog("Vintora", ::GetProcessId(m_hRun), c_nTimeoutMs);
        if (hBox == nullptr)
        {
            ADD_FAILURE() << "no message box";
            break;
        }
        texts.push_back(WindowText(::GetDlgItem(hBox, 0xFFFF)));
        ::PostMessageA(::GetDlgItem(hBox, nButton), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(hBox); }, c_nTimeoutMs));
    }
    return texts;
}

void RemoveFlowTest::Close(HWND hDlg)
{
    ::PostMessageA(::GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(Ended(m_hRun, c_nTimeoutMs));
    // 0 is the end of a normal run; an exception code would be a crash.
    DWORD dwExit = STILL_ACTIVE;
    ::GetExitCodeProcess(m_hRun, &dwExit);
    EXPECT_EQ(0u, dwExit);
    ::CloseHandle(m_hRun);
}

std::string RemoveFlowTest::AppKey(int nApp)
{
    return std::string(CFamilyKeyLock::Path()) + "\\App" + std::to_string(nApp);
}

std::string RemoveFlowTest::UninstallString()
{
    std::string strValue = "(none)";
    ReadValue(CFamilyKeyLock::Path(), "UninstallString", strValue);
    return strValue;
}
