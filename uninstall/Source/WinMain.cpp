#include "FirstRun.h"
#include "RelaunchedCleanup.h"

#include <windows.h>

#include <stdlib.h>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int showCommand)
{
    // The current folder becomes the install folder during the run; no
    // library may be found there by name.
    SetDllDirectoryW(L"");
    if (__argc == 1)
        RunFirstRun(hInstance, showCommand);
    else
        RunRelaunchedCleanup(GetCommandLineW());
    return 0;
}
