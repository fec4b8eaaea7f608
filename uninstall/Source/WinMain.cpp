#include "CommandLineOptions.h"
#include "ExitCode.h"
#include "FirstRun.h"
#include "RelaunchedCleanup.h"
#include "Resource.h"
#include "StringTable.h"
#include "UsageText.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int showCommand)
{
    // The current folder becomes the install folder during the run; no
    // library may be found there by name.
    SetDllDirectoryW(L"");
    const std::wstring commandLine = GetCommandLineW();
    const CommandLineOptions options = CommandLineOptions::Parse(commandLine);
    const StringTable strings(hInstance);
    switch (options.GetMode())
    {
    case CommandLineOptions::RelaunchedCleanup:
        RunRelaunchedCleanup(commandLine);
        return 0;
    case CommandLineOptions::ShowUsage:
        ShowUsageText(strings, std::wstring(), options.IsSilent());
        return ExitCode::Removed;
    case CommandLineOptions::Refused:
        ShowUsageText(strings, strings.Formatted(IDS_UNKNOWN_OPTION, options.Offending()), options.IsSilent());
        return ExitCode::Refused;
    case CommandLineOptions::FirstRun:
        break;
    }
    return RunFirstRun(hInstance, showCommand, options);
}
