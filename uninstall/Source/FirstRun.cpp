#include "FirstRun.h"

#include "CleanupRelaunch.h"
#include "MainWindow.h"
#include "RemovalReport.h"
#include "ReportBox.h"
#include "Resource.h"
#include "SafeInstallFolder.h"
#include "SystemCommonControls.h"
#include "UninstallSequence.h"
#include "ZymStatic.h"

namespace
{
std::wstring OwnProgramPath()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring(L"uninstall.exe");
}
}

void RunFirstRun(HINSTANCE hInstance, int showCommand)
{
    const std::wstring installFolder = WidenInstallFolder(GetZymDirectory());

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

    RemovalReport report;
    std::wstring resolved;
    if (CheckInstallFolder(installFolder, true, resolved) != InstallFolderGuard::Removable)
        report.FolderRefused(installFolder);
    RunUninstallSequence(hInstance, mainWindow, resolved, report);
    if (!StartCleanupCopy(installFolder))
        report.NotRemoved(OwnProgramPath());
    ShowRemovalReport(hInstance, report);
}
