#include "ChimoraApp.h"

// An empty map leaves the macro's ThisClass typedef unused.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-local-typedefs"
BEGIN_MESSAGE_MAP(CChimora32App, CWinApp)
END_MESSAGE_MAP()
#pragma GCC diagnostic pop

LPCSTR CChimora32App::GetResourceLibraryName() const
{
    return "VINTPAK32";
}

CChimora32App theApp;
