// ChimoraApp.h - CChimora32App, the sound plug-in's module object.
//
// The one global instance (the class has this name in both builds) is the
// DLL's current application: the exports reach its profile through it.
// Everything else is CCommApp's; it declares no class record of its own.
#pragma once

#include "CommApp.h"

class CChimora32App : public CCommApp
{
public:
    LPCSTR GetResourceLibraryName() const override;

    DECLARE_MESSAGE_MAP()
};
