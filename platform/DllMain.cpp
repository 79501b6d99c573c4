// The entry point of a DLL built on CWinApp. Built as its own object library,
// like a program's WinMain, so that it replaces the runtime's default one.
//
// Static constructors (the module's application object among them) have run
// before process attach; static destructors run after process detach.
#include "ModuleState.h"
#include "WinApp.h"

#include <exception>

// No exception may cross into the loader: it is treated as a failed start.
static BOOL AttachModule(HINSTANCE hInstance)
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    pState->m_hCurrentInstanceHandle = hInstance;
    pState->m_hCurrentResourceHandle = hInstance;
    CWinApp* pApp = pState->m_pCurrentWinApp;
    if (pApp == nullptr)
        return TRUE;
    try
    {
        pApp->m_hInstance = hInstance;
        pApp->InitModuleNames();
        if (!pApp->InitInstance())
        {
            pApp->ExitInstance();
            return FALSE;
        }
    }
    catch (const std::exception&)
    {
        return FALSE;
    }
    pState->m_bInitInstanceDone = TRUE;
    return TRUE;
}

// Only a module whose InitInstance succeeded is owed an ExitInstance: the
// loader also sends detach after a failed attach.
static void DetachModule()
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    if (!pState->m_bInitInstanceDone)
        return;
    pState->m_bInitInstanceDone = FALSE;
    try
    {
        pState->m_pCurrentWinApp->ExitInstance();
    }
    catch (const std::exception&)
    {
    }
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH)
        return AttachModule(hInstance);
    if (dwReason == DLL_PROCESS_DETACH)
        DetachModule();
    return TRUE;
}
