#include "FileRemoval.h"

#include "PathNames.h"
#include "RemovalReport.h"

#include <windows.h>

namespace
{
const int kAttempts = 5;
const DWORD kRetryPauseMilliseconds = 200;

void ReportDeletion(const std::wstring& path)
{
    OutputDebugStringW(L"Deleting ");
    OutputDebugStringW(path.c_str());
    OutputDebugStringW(L"\r\n");
}

bool IsInUse(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

// Every path reaches the system in its extended form, so "not found" means
// gone, never too long to be reached.
bool IsGone(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

RemovalOutcome Schedule(const std::wstring& path, RemovalReport& report)
{
    if (MoveFileExW(ExtendedLengthPath(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
    {
        report.AtRestart(path);
        return ScheduledAtRestart;
    }
    report.NotRemoved(path);
    return LeftInPlace;
}
}

RemovalOutcome RemoveFile(const std::wstring& path, RemovalReport& report)
{
    const std::wstring extended = ExtendedLengthPath(path);
    for (int attempt = 1;; ++attempt)
    {
        if (DeleteFileW(extended.c_str()))
        {
            ReportDeletion(path);
            report.Note(RemovalEvents::FileRemoved, path);
            return Removed;
        }
        const DWORD error = GetLastError();
        if (IsGone(error))
        {
            report.Note(RemovalEvents::FileRemoved, path);
            return Removed;
        }
        if (error == ERROR_ACCESS_DENIED)
        {
            // A read-only file refuses deletion until the attribute is off.
            const DWORD attributes = GetFileAttributesW(extended.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
                SetFileAttributesW(extended.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
        }
        if (!IsInUse(error) || attempt == kAttempts)
            return Schedule(path, report);
        report.Note(RemovalEvents::Retrying, path);
        Sleep(kRetryPauseMilliseconds);
    }
}

RemovalOutcome RemoveEmptyFolder(const std::wstring& path, bool scheduleOnFailure, RemovalReport& report)
{
    if (RemoveDirectoryW(ExtendedLengthPath(path).c_str()) || IsGone(GetLastError()))
    {
        report.Note(RemovalEvents::FolderRemoved, path);
        return Removed;
    }
    if (scheduleOnFailure)
        return Schedule(path, report);
    report.NotRemoved(path);
    return LeftInPlace;
}
