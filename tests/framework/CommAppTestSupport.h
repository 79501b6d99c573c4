// CommAppTestSupport.h - a concrete CCommApp for the tests, with a profile
// file and a shared-store section of its own per test process, so suites
// running side by side never share settings.
#pragma once

#include "CommApp.h"

#include <string>

class CTestCommApp : public CCommApp
{
public:
    CTestCommApp();
    ~CTestCommApp() override;

    LPCSTR GetResourceLibraryName() const override { return "TESTPAK"; }
    CString GetHelpFileName() const override { return m_strHelpFileName; }
    void EnableModeless(BOOL bEnable) override { m_strModeless += bEnable ? "+" : "-"; }

    // The profile file's full path in the Windows folder.
    std::string GetProfilePath() const;

    CString m_strHelpFileName;
    CString m_strModeless; // "-" per EnableModeless(FALSE), "+" per TRUE
};

// A section name unique to this process: "Test<pid>".
std::string TestSection();
// HKCU\software\Vintora\Options\<section>; the shared store of this process.
std::string SharedSectionKey();
void DeleteSharedSection();
