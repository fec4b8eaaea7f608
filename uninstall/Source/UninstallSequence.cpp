#include "UninstallSequence.h"

#include "DaemonClose.h"
#include "FolderRemoval.h"
#include "LibraryPass.h"
#include "MessagePause.h"
#include "RegistryRemoval.h"
#include "RemovalReport.h"

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

void RunUninstallSequence(HINSTANCE hInstance, HWND mainWindow, const std::wstring& installFolder,
                          RemovalReport& report)
{
    report.Step(RemovalEvents::ClosingProgram);
    report.Note(CloseDaemon(), L"Zym Daemon");
    const HWND bar = mainWindow != nullptr ? CreateProgressBar(hInstance, mainWindow) : nullptr;

    wchar_t savedFolder[MAX_PATH];
    const DWORD savedLength = GetCurrentDirectoryW(MAX_PATH, savedFolder);
    const bool haveSavedFolder = savedLength > 0 && savedLength < MAX_PATH;
    if (haveSavedFolder && !installFolder.empty())
        SetCurrentDirectoryW(installFolder.c_str());

    WPARAM step = 0;
    if (!installFolder.empty())
    {
        const LibraryPass libraries(installFolder);
        const int count = libraries.CountFiles();
        if (count != 0)
        {
            report.Step(RemovalEvents::CallingPlugins);
            step = static_cast<WPARAM>(100 / (count + 2));
            if (bar != nullptr)
            {
                SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
                SendMessageA(bar, PBM_DELTAPOS, step, 0);
            }
            PauseWithMessages(kPauseMilliseconds);
            libraries.Run(kPauseMilliseconds, report);
        }
        report.Step(RemovalEvents::RemovingFiles);
        RemoveFolderContents(installFolder, report);
    }
    report.Step(RemovalEvents::RemovingKeys);
    RemoveRegistryKeys(report);

    if (haveSavedFolder)
        SetCurrentDirectoryW(savedFolder);
    if (mainWindow == nullptr)
        return;
    SendMessageA(bar, PBM_DELTAPOS, step, 0);
    PauseWithMessages(kPauseMilliseconds);
    SendMessageA(mainWindow, WM_CLOSE, 0, 0);
}
