// The host's core library stand-in: Corvane64D.dll or Corvane32D.dll.
#define CORVANE_BUILD
#include "Corvane.h"

#include <cstring>

static BOOL g_bAnswer = TRUE;
static int g_nCode = -1;
static BYTE g_nSupport = 1;
static LONG g_nCalls = 0;

int WINAPI Vintora90(void* pRecord, int nRequest)
{
    ::InterlockedIncrement(&g_nCalls);
    if (!g_bAnswer)
        return 0;
    BYTE* pBytes = static_cast<BYTE*>(pRecord);
    int nCode = g_nCode == -1 ? nRequest : g_nCode;
    std::memcpy(pBytes + 260, &nCode, sizeof(nCode));
    pBytes[288] = g_nSupport;
    return 1;
}

extern "C" void CorvaneSetAnswer(BOOL bAnswer, int nCode, BYTE nSupport)
{
    g_bAnswer = bAnswer;
    g_nCode = nCode;
    g_nSupport = nSupport;
}

extern "C" LONG CorvaneGetCallCount()
{
    return g_nCalls;
}
