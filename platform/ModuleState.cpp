#include "ModuleState.h"

// Constant-initialised, so static constructors of any order may use it.
static AFX_MODULE_STATE g_moduleState = {nullptr, nullptr, nullptr, nullptr, FALSE};

AFX_MODULE_STATE* AfxGetModuleState()
{
    if (g_moduleState.m_hCurrentInstanceHandle == nullptr)
    {
        // The module that holds this very variable is the module we are in;
        // GetModuleHandle(nullptr) would name the program even inside a DLL.
        HMODULE hModule = nullptr;
        ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                 GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             reinterpret_cast<LPCSTR>(&g_moduleState), &hModule);
        g_moduleState.m_hCurrentInstanceHandle = hModule;
        if (g_moduleState.m_hCurrentResourceHandle == nullptr)
            g_moduleState.m_hCurrentResourceHandle = hModule;
    }
    return &g_moduleState;
}

HINSTANCE AfxGetInstanceHandle()
{
    return AfxGetModuleState()->m_hCurrentInstanceHandle;
}

void AfxSetResourceHandle(HINSTANCE hResource)
{
    AfxGetModuleState()->m_hCurrentResourceHandle = hResource;
}
