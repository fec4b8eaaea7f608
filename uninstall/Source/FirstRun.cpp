#include "FirstRun.h"

#include "CleanupRelaunch.h"
#include "MainWindow.h"
#include "Resource.h"
#include "SafeInstallFolder.h"
#include "SystemCommonControls.h"
#include "UninstallSequence.h"
#include "ZymStatic.h"

void RunFirstRun(HINSTANCE hInstance, int showCommand)
{
    const char* installFolder = GetZymDirectory();

    char title[100];
    char className[100];
    if (LoadStringA(hInstance, IDS_APP_TITLE, title, sizeof title) == 0)
        title[0] = '\0';
    if (LoadStringA(hInstance, IDC_UNINSTALL, className, sizeof className) == 0)
        return;
    RegisterMainWindowClass(hInstance, className);

    SystemCommonControls commonControls;
    commonControls.InitBarClasses();

    const HWND mainWindow = CreateMainWindow(hInstance, className, title);
    if (mainWindow == nullptr)
        return;
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);

    RunUninstallSequence(hInstance, mainWindow, installFolder, IsSafeInstallFolder(installFolder));
    StartCleanupCopy(installFolder);
}
