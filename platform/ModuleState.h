// ModuleState.h - what one module (a program or a DLL) knows of itself.
//
// Every module links the platform statically, so each has its own copy of
// this state: a DLL's application object, instance and resources never mix
// with those of the program that loaded it. The instance handle is found
// from the module's own code address on first use, so the state is right
// even before an entry point has run (static constructors, tests).
#pragma once

#include "Types.h"

class CWinApp;

struct AFX_MODULE_STATE
{
    HINSTANCE m_hCurrentInstanceHandle;
    HINSTANCE m_hCurrentResourceHandle; // where strings and dialogs are loaded from
    LPCSTR m_lpszCurrentAppName;        // caption source; borrowed from the application
    CWinApp* m_pCurrentWinApp;
    BOOL m_bInitInstanceDone; // a DLL's InitInstance succeeded, so detach owes ExitInstance
};

AFX_MODULE_STATE* AfxGetModuleState();
HINSTANCE AfxGetInstanceHandle();
void AfxSetResourceHandle(HINSTANCE hResource);
