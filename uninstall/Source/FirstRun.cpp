#include "FirstRun.h"

#include "CleanupRelaunch.h"
#include "CommandLineOptions.h"
#include "ExitCode.h"
#include "FileRemoval.h"
#include "InstallPathRecord.h"
#include "LogFile.h"
#include "MainWindow.h"
#include "RemovalReport.h"
#include "ReportBox.h"
#include "Resource.h"
#include "RunLog.h"
#include "SafeInstallFolder.h"
#include "StatusLine.h"
#include "StringTable.h"
#include "SystemCommonControls.h"
#include "UninstallSequence.h"
#include "UsageText.h"
#include "ZymStatic.h"

#include <memory>

namespace
{
std::wstring OwnProgramPath()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring(L"uninstall.exe");
}

const wchar_t* Meaning(ExitCode::Value code)
{
    switch (code)
    {
    case ExitCode::Removed:
        return L"everything removed";
    case ExitCode::Left:
        return L"some files or folders were left";
    case ExitCode::Refused:
        return L"refused, nothing was touched";
    case ExitCode::RestartNeeded:
        return L"removed, some files go at the next restart";
    }
    return L"";
}

ExitCode::Value Finish(RunLog& log, ExitCode::Value code)
{
    log.Write(L"result", std::to_wstring(static_cast<int>(code)) + L" (" + Meaning(code) + L")");
    return code;
}

// The main window with its title and class from the string table; null when
// it cannot be made.
HWND OpenMainWindow(HINSTANCE hInstance, int showCommand)
{
    char title[100];
    char className[100];
    if (LoadStringA(hInstance, IDS_APP_TITLE, title, sizeof title) == 0)
        title[0] = '\0';
    if (LoadStringA(hInstance, IDC_UNINSTALL, className, sizeof className) == 0)
        return nullptr;
    RegisterMainWindowClass(hInstance, className);

    SystemCommonControls commonControls;
    commonControls.InitBarClasses();

    const HWND mainWindow = CreateMainWindow(hInstance, className, title);
    if (mainWindow == nullptr)
        return nullptr;
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    return mainWindow;
}

int RemoveAndDecide(HINSTANCE hInstance, int showCommand, const CommandLineOptions& options)
{
    const StringTable strings(hInstance);
    const bool silent = options.IsSilent();
    LogFile logFile;
    if (!options.LogPath().empty() && !logFile.Open(options.LogPath()))
    {
        ShowUsageText(strings, strings.Formatted(IDS_LOG_REFUSED, options.LogPath()), silent);
        return ExitCode::Refused;
    }
    RunLog log(logFile);
    RemovalReport report;
    report.Follow(log);
    log.Write(L"command line", GetCommandLineW());

    // An unattended run acts only on a folder it may empty as a whole; a
    // person at the screen gets today's removal and the box naming the
    // refused folder.
    if (silent && !InstallPathRecorded())
    {
        log.Write(L"no install folder is recorded");
        return Finish(log, ExitCode::Refused);
    }
    const std::wstring installFolder = WidenInstallFolder(GetZymDirectory());
    log.Write(L"install folder", installFolder);
    std::wstring resolved;
    const bool removable = CheckInstallFolder(installFolder, true, resolved) == InstallFolderGuard::Removable;
    if (!removable && silent)
    {
        log.Write(L"refused", installFolder);
        return Finish(log, ExitCode::Refused);
    }

    HWND mainWindow = nullptr;
    if (!silent)
    {
        mainWindow = OpenMainWindow(hInstance, showCommand);
        if (mainWindow == nullptr)
        {
            log.Write(L"the window could not be created");
            return Finish(log, ExitCode::Refused);
        }
    }
    std::unique_ptr<StatusLine> statusLine;
    if (mainWindow != nullptr)
    {
        statusLine.reset(new StatusLine(hInstance, mainWindow));
        report.Follow(*statusLine);
    }

    if (!removable)
        report.FolderRefused(installFolder);
    RunUninstallSequence(hInstance, mainWindow, resolved, report);
    // The window is gone: its line of text follows no further.
    if (statusLine)
        report.Unfollow(*statusLine);

    // What goes at the next restart keeps the install folder until then, and
    // the cleanup copy then finds it not empty: it goes at restart as well,
    // after what it holds.
    if (!resolved.empty() && report.ScheduledAnything() && !report.LeftAnything())
        RemoveEmptyFolder(resolved, true, report);
    if (StartCleanupCopy(installFolder))
        log.Write(L"handed over", OwnProgramPath() + L" and " + installFolder
                                      + L" to the cleanup copy, which removes them once this run has ended");
    else
        report.NotRemoved(OwnProgramPath());
    const ExitCode::Value code = Finish(log, ExitCode::Of(report));
    if (!silent)
        ShowRemovalReport(hInstance, report);
    return code;
}
}

int RunFirstRun(HINSTANCE hInstance, int showCommand, const CommandLineOptions& options)
{
    const int code = RemoveAndDecide(hInstance, showCommand, options);
    return options.IsBare() ? 0 : code;
}
