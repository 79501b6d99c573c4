// The host program stand-in: loads the plug-in the way the family's host
// does, calls its four exports, loads the click by type and name and plays
// it from memory, and prints what it got.
//   HostStandIn [plug-in file]     (default: the preset's Chimora DLL)
// Exit code 0 when the plug-in loaded, every export was found and the click
// is a RIFF/WAVE of 854 bytes; a click that cannot be played (no sound
// device) is reported but is no failure.
#include "Chimora.h"

#include <cstdio>
#include <cstring>
#include <mmsystem.h>

int main(int argc, char** argv)
{
    LPCSTR pszPlugin = argc > 1 ? argv[1] : CHIMORA_DLL_NAME;
    HMODULE hPlugin = ::LoadLibraryA(pszPlugin);
    if (hPlugin == nullptr)
    {
        std::printf("%s: not loaded (error %lu)\n", pszPlugin, ::GetLastError());
        return 1;
    }
    auto pfnIsSupported = ChimoraGetProc<PFN_CHIMORA_IS_SUPPORTED>(
        hPlugin, CHIMORA_EXPORT_NAME(ChimoraIsSupported, 0));
    auto pfnSetup =
        ChimoraGetProc<PFN_CHIMORA_SETUP>(hPlugin, CHIMORA_EXPORT_NAME(ChimoraSetup, 0));
    auto pfnTurnOn =
        ChimoraGetProc<PFN_CHIMORA_TURN_ON>(hPlugin, CHIMORA_EXPORT_NAME(ChimoraTurnOn, 4));
    auto pfnIsTurnedOn = ChimoraGetProc<PFN_CHIMORA_IS_TURNED_ON>(
        hPlugin, CHIMORA_EXPORT_NAME(ChimoraIsTurnedOn, 0));
    if (!pfnIsSupported || !pfnSetup || !pfnTurnOn || !pfnIsTurnedOn)
    {
        std::printf("%s: an export is missing\n", pszPlugin);
        return 1;
    }

    std::printf("ChimoraIsSupported: %d\n", pfnIsSupported());
    pfnSetup();
    std::printf("ChimoraIsSupported after ChimoraSetup: %d\n", pfnIsSupported());
    int bOn = pfnIsTurnedOn();
    std::printf("ChimoraIsTurnedOn: %d\n", bOn);
    // Stores the switch as it was: the stand-in never changes the user's choice.
    std::printf("ChimoraTurnOn(%d): %d\n", bOn, pfnTurnOn(bOn));

    HRSRC hInfo = ::FindResourceA(hPlugin, "IDW_CLICK", "WAVE");
    HGLOBAL hData = hInfo ? ::LoadResource(hPlugin, hInfo) : nullptr;
    const void* pWave = hData ? ::LockResource(hData) : nullptr;
    DWORD nSize = hInfo ? ::SizeofResource(hPlugin, hInfo) : 0;
    if (pWave == nullptr)
    {
        std::printf("IDW_CLICK: not found\n");
        return 1;
    }
    BOOL bWave = nSize >= 12 && std::memcmp(pWave, "RIFF", 4) == 0 &&
                 std::memcmp(static_cast<const char*>(pWave) + 8, "WAVE", 4) == 0;
    std::printf("IDW_CLICK: %lu bytes, %s\n", nSize, bWave ? "RIFF/WAVE" : "not a WAVE");
    BOOL bPlayed =
        ::PlaySoundA(static_cast<LPCSTR>(pWave), nullptr, SND_MEMORY | SND_SYNC | SND_NODEFAULT);
    std::printf("IDW_CLICK: %s\n", bPlayed ? "played" : "not played (no sound device)");
    ::FreeLibrary(hPlugin);
    return bWave && nSize == 854 ? 0 : 1;
}
