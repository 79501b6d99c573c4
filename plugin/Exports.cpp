// The plug-in's four exports. They are named in the .def files only:
// __declspec(dllexport) would export each function a second time under its
// undecorated name in the 32-bit build.
#include "Chimora.h"
#include "Corvane.h"
#include "WinApp.h"

#include <cstring>

// -1 while not yet known; process-wide, one caller at a time.
static int g_nSoundSupported = -1;
static int g_nSoundOn = -1;

// The host writes no more than this into the query record.
#ifdef _WIN64
static const size_t HOST_RECORD_SIZE = 1680;
#else
static const size_t HOST_RECORD_SIZE = 1672;
#endif
static const int HOST_REQUEST_SOUND = 10;
static const size_t HOST_OFFSET_CODE = 260;
static const size_t HOST_OFFSET_SUPPORT = 288;

extern "C" int WINAPI ChimoraIsSupported()
{
    if (g_nSoundSupported >= 0)
        return g_nSoundSupported;
    BYTE record[HOST_RECORD_SIZE] = {0};
    Vintora90(record, HOST_REQUEST_SOUND);
    int nCode = 0;
    std::memcpy(&nCode, record + HOST_OFFSET_CODE, sizeof(nCode));
    g_nSoundSupported = record[HOST_OFFSET_SUPPORT] != 0 && nCode == HOST_REQUEST_SOUND ? 1 : 0;
    return g_nSoundSupported;
}

extern "C" void WINAPI ChimoraSetup()
{
    g_nSoundSupported = -1;
}

extern "C" int WINAPI ChimoraTurnOn(int bOn)
{
    // Cached before the write: a failed write still changes the answer.
    g_nSoundOn = bOn ? 1 : 0;
    return AfxGetApp()->WriteProfileInt("Sound", "SoundOn", g_nSoundOn);
}

extern "C" int WINAPI ChimoraIsTurnedOn()
{
    if (g_nSoundOn >= 0)
        return g_nSoundOn;
    g_nSoundOn = static_cast<int>(AfxGetApp()->GetProfileInt("Sound", "SoundOn", 0));
    return g_nSoundOn;
}
