// RemoveFlowFixture.h - a whole run of Uninstall.exe (the 64-bit build beside
// the test) on applications recorded by the installer stand-in, driven as a
// user would: start, select, Remove, answer, Close.
#pragma once

#include "UninstallTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct CLanguage
{
    const char* pszCode;
    const char* pszCaption;
    const char* pszConfirm;
    const char* pszDone;
};

extern const CLanguage c_english;
extern const CLanguage c_german;

// Names a language parameter in test output by its "Language" value.
void PrintTo(const CLanguage& lang, std::ostream* pOut);

class RemoveFlowTest : public ::testing::Test
{
protected:
    static constexpr DWORD c_nTimeoutMs = 20000;

    // Writes the description (each "%T" standing for the test's folder) and
    // records it with the stand-in, which also puts Uninstall.exe into every
    // application's folder.
    void Install(const std::string& strDescription, const char* pszLanguage);

    // Starts the copy of Uninstall.exe in that folder and waits for its
    // dialog; its temporary copy goes to "temp dir".
    HWND Start(const std::string& strFolder, const char* pszCaption);

    // Presses Remove and answers the confirmation with nAnswer; after Yes,
    // also acknowledges the completion message. Returns the texts shown.
    std::vector<std::string> Remove(HWND hDlg, int nAnswer);

    // Presses Close and waits for the program to end normally (exit code 0).
    void Close(HWND hDlg);

    static std::string AppKey(int nApp);
    // The family's "UninstallString", or "(none)".
    static std::string UninstallString();

    CFamilyKeyLock m_family;
    CTempFolder m_tmp;
    std::string m_strEnv;
    HANDLE m_hRun = nullptr;
};
