// ModuleProbe.dll: a DLL built on CCommApp like the plug-in, which reports
// what its module object went through. Each step is appended to the
// process's environment variable CHIMORA_PROBE_LOG, so the log outlives
// the module; CHIMORA_PROBE_FAIL makes InitInstance fail.
#include "CommApp.h"
#include "ModuleState.h"

#include <string>

static void Log(const char* pszStep)
{
    char szLog[256] = "";
    ::GetEnvironmentVariableA("CHIMORA_PROBE_LOG", szLog, sizeof(szLog));
    std::string strLog = std::string(szLog) + pszStep + " ";
    ::SetEnvironmentVariableA("CHIMORA_PROBE_LOG", strLog.c_str());
}

class CProbeApp : public CCommApp
{
public:
    CProbeApp() { Log("construct"); }
    ~CProbeApp() override { Log("destroy"); }

    LPCSTR GetResourceLibraryName() const override { return "PROBEPAK"; }
    BOOL InitInstance() override
    {
        BOOL bResult = CCommApp::InitInstance();
        Log("init");
        return ::GetEnvironmentVariableA("CHIMORA_PROBE_FAIL", nullptr, 0) ? FALSE : bResult;
    }
    int ExitInstance() override
    {
        Log("exit");
        return CCommApp::ExitInstance();
    }
};

CProbeApp theApp;

extern "C" __declspec(dllexport) LPCSTR ProbeName(int nWhich)
{
    CWinApp* pApp = AfxGetApp();
    switch (nWhich)
    {
    case 0:
        return AfxGetModuleState()->m_lpszCurrentAppName;
    case 1:
        return pApp->m_pszHelpFilePath;
    case 2:
        return pApp->m_pszProfileName;
    default:
        return pApp->m_pszExeName;
    }
}
