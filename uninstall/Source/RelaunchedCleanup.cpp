#include "RelaunchedCleanup.h"

#include "FileRemoval.h"
#include "RelaunchArguments.h"
#include "RemovalReport.h"
#include "SafeInstallFolder.h"

#include <windows.h>

namespace
{
// The copy's file is in use until this process has ended and goes then; the
// folder around it is marked for removal as the last handle to it closes, at
// this process's end, and for the next restart, since the system may close
// that handle while the copy's file is still there (Wine does).
void RemoveOwnFolderAtExit()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    wchar_t* cut = wcsrchr(path, L'\\');
    if (cut == nullptr)
        return;
    *cut = L'\0';
    if (wcsncmp(cut + 1, L"Del", 3) != 0)
        return;
    SetCurrentDirectoryW(L"\\");
    // Deliberately left open: closing it at exit is what removes the folder.
    CreateFileW(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}
}

void RunRelaunchedCleanup(const std::wstring& commandLine)
{
    RelaunchArguments arguments;
    if (!arguments.Parse(commandLine))
        return;
    const HANDLE firstProcess = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(arguments.ProcessHandleValue()));
    const DWORD waited = WaitForSingleObject(firstProcess, INFINITE);
    CloseHandle(firstProcess);
    // Without a process that has ended, the program file may still be in use
    // and the line was not written by the first run.
    if (waited != WAIT_OBJECT_0)
        return;
    RemovalReport unreported;
    RemoveFile(arguments.ProgramFile(), unreported);
    std::wstring resolved;
    if (CheckInstallFolder(arguments.FolderToRemove(), false, resolved) == InstallFolderGuard::Removable)
        RemoveDirectoryW(resolved.c_str());
    RemoveOwnFolderAtExit();
}
