#include "RelaunchedCleanup.h"

#include "RelaunchArguments.h"
#include "SafeInstallFolder.h"

#include <windows.h>

void RunRelaunchedCleanup(const char* commandLine)
{
    RelaunchArguments arguments;
    if (!arguments.Parse(commandLine))
        return;
    const HANDLE firstProcess = arguments.ProcessHandle();
    const DWORD waited = WaitForSingleObject(firstProcess, INFINITE);
    CloseHandle(firstProcess);
    // Without a process that has ended, the program file may still be in use
    // and the line was not written by the first run.
    if (waited != WAIT_OBJECT_0)
        return;
    DeleteFileA(arguments.ProgramFile());
    if (IsSafeInstallFolder(arguments.FolderToRemove()))
        RemoveDirectoryA(arguments.FolderToRemove());
}
