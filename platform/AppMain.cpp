// The program entry of a CWinApp program. Built as its own object library:
// a WinMain inside the static platform library would not be pulled in,
// since only the C runtime's start-up code refers to it.
#include "WinApp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, lpCmdLine, nCmdShow);
}
