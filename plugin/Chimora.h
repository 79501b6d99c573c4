// Chimora.h - the sound plug-in's exported interface, for its callers.
//
// The 32-bit DLL exports stdcall-decorated names (_ChimoraTurnOn@4), the
// 64-bit DLL plain ones; CHIMORA_EXPORT_NAME gives the name to look up.
//   ChimoraIsSupported  1 if the host's core library reports sound support;
//                       asked once, until ChimoraSetup.
//   ChimoraSetup        makes the next ChimoraIsSupported ask again.
//   ChimoraTurnOn       stores the switch (nonzero: on) in the plug-in's
//                       profile; nonzero if it was stored.
//   ChimoraIsTurnedOn   the switch, read from the profile once.
// It also exports CMapPtrToPtrEx_GetStartPosition (MapPtrToPtrEx.h) for
// other modules' copies of the collection library.
#pragma once

#include <windows.h>

typedef int(WINAPI* PFN_CHIMORA_IS_SUPPORTED)();
typedef void(WINAPI* PFN_CHIMORA_SETUP)();
typedef int(WINAPI* PFN_CHIMORA_TURN_ON)(int bOn);
typedef int(WINAPI* PFN_CHIMORA_IS_TURNED_ON)();

// GetProcAddress's result as the export's type; the detour through a plain
// function pointer keeps the compiler from warning about the cast.
template <typename PFN>
PFN ChimoraGetProc(HMODULE hModule, LPCSTR pszName)
{
    return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(::GetProcAddress(hModule, pszName)));
}

#ifdef _WIN64
#define CHIMORA_DLL_NAME "Chimora64.dll"
#define CHIMORA_EXPORT_NAME(name, argBytes) #name
#else
#define CHIMORA_DLL_NAME "Chimora32.dll"
#define CHIMORA_EXPORT_NAME(name, argBytes) "_" #name "@" #argBytes
#endif
