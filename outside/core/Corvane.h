// Corvane.h - the one function of the host's core library that the plug-in
// calls, and the controls that only the stand-in has.
//
// Vintora90 answers a query record: after request 10 the signed 32-bit
// value at offset 260 holds the request code and the byte at 288 is nonzero
// when the host supports sound. The stand-in's answer and its call count are
// set and read by tests through the Corvane* controls (cdecl, plain names).
#pragma once

#include <windows.h>

#ifdef CORVANE_BUILD
#define CORVANE_API extern "C"
#else
#define CORVANE_API extern "C" __declspec(dllimport)
#endif

#ifdef _WIN64
#define CORVANE_DLL_NAME "Corvane64D.dll"
#else
#define CORVANE_DLL_NAME "Corvane32D.dll"
#endif

CORVANE_API int WINAPI Vintora90(void* pRecord, int nRequest);

// bAnswer FALSE leaves the record as it is; otherwise Vintora90 writes
// nCode at offset 260 (-1: the request code it was given) and nSupport at
// offset 288.
typedef void (*PFN_CORVANE_SET_ANSWER)(BOOL bAnswer, int nCode, BYTE nSupport);
typedef LONG (*PFN_CORVANE_GET_CALL_COUNT)();
