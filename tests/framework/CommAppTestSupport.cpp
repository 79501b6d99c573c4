#include "CommAppTestSupport.h"

std::string TestSection()
{
    return "Test" + std::to_string(::GetCurrentProcessId());
}

std::string SharedSectionKey()
{
    return "software\\Vintora\\Options\\" + TestSection();
}

void DeleteSharedSection()
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, SharedSectionKey().c_str());
}

CTestCommApp::CTestCommApp()
{
    AfxReplaceString(&m_pszProfileName, (TestSection() + ".INI").c_str());
}

CTestCommApp::~CTestCommApp()
{
    if (m_pszProfileName != nullptr)
        ::DeleteFileA(GetProfilePath().c_str());
}

std::string CTestCommApp::GetProfilePath() const
{
    char szFolder[MAX_PATH];
    ::GetWindowsDirectoryA(szFolder, MAX_PATH);
    return std::string(szFolder) + "\\" + m_pszProfileName;
}
