#include "UninstallSequence.h"

#include "DaemonClose.h"
#include "FolderRemoval.h"
#include "LibraryPass.h"
#include "MessagePause.h"
#include "RegistryRemoval.h"

#include <commctrl.h>

namespace
{
const DWORD kPauseMilliseconds = 250;

HWND CreateProgressBar(HINSTANCE hInstance, HWND mainWindow)
{
    const HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 20, 20, 600, 20,
                                     mainWindow, nullptr, hInstance, nullptr);
    ShowWindow(bar, SW_SHOWNORMAL);
    UpdateWindow(bar);
    return bar;
}
}

void RunUninstallSequence(HINSTANCE hInstance, HWND mainWindow, const char* installFolder,
                          bool folderRemovable)
{
    CloseDaemon();
    const HWND bar = CreateProgressBar(hInstance, mainWindow);

    char savedFolder[MAX_PATH];
    const DWORD savedLength = GetCurrentDirectoryA(sizeof savedFolder, savedFolder);
    const bool haveSavedFolder = savedLength > 0 && savedLength < sizeof savedFolder;
    if (haveSavedFolder)
        SetCurrentDirectoryA(installFolder);

    WPARAM step = 0;
    if (folderRemovable)
    {
        const LibraryPass libraries(installFolder);
        const int count = libraries.CountFiles();
        if (count != 0)
        {
            SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
            step = static_cast<WPARAM>(100 / (count + 2));
            SendMessageA(bar, PBM_DELTAPOS, step, 0);
            PauseWithMessages(kPauseMilliseconds);
            libraries.Run(kPauseMilliseconds);
        }
        RemoveFolderContents(installFolder);
    }
    RemoveRegistryKeys();

    if (haveSavedFolder)
        SetCurrentDirectoryA(savedFolder);
    SendMessageA(bar, PBM_DELTAPOS, step, 0);
    PauseWithMessages(kPauseMilliseconds);
    SendMessageA(mainWindow, WM_CLOSE, 0, 0);
}
