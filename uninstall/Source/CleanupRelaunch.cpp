#include "CleanupRelaunch.h"

#include <windows.h>

#include <stdio.h>

namespace
{
// Owns a kernel handle; closes it on every path.
class KernelHandle
{
public:
    explicit KernelHandle(HANDLE hHandle) : m_hHandle(hHandle) {}
    ~KernelHandle()
    {
        if (m_hHandle != nullptr && m_hHandle != INVALID_HANDLE_VALUE)
            CloseHandle(m_hHandle);
    }
    HANDLE Get() const { return m_hHandle; }
    bool IsValid() const { return m_hHandle != nullptr && m_hHandle != INVALID_HANDLE_VALUE; }

private:
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;

    HANDLE m_hHandle;
};

bool Fits(DWORD length, DWORD size)
{
    return length > 0 && length < size;
}
}

void StartCleanupCopy(const char* installFolder)
{
    char ownPath[MAX_PATH];
    char tempFolder[MAX_PATH];
    if (!Fits(GetModuleFileNameA(nullptr, ownPath, MAX_PATH), MAX_PATH)
        || !Fits(GetTempPathA(MAX_PATH, tempFolder), MAX_PATH))
        return;

    char copyPath[MAX_PATH];
    if (GetTempFileNameA(tempFolder, "Del", 0, copyPath) == 0)
        return;
    if (!CopyFileA(ownPath, copyPath, FALSE))
    {
        DeleteFileA(copyPath);
        return;
    }
    const KernelHandle copy(CreateFileA(copyPath, 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    const KernelHandle self(OpenProcess(SYNCHRONIZE, TRUE, GetCurrentProcessId()));
    if (!self.IsValid())
        return;

    // The program part of the line is not quoted; its short form keeps a
    // temporary folder with blanks in its name from splitting it.
    char program[MAX_PATH];
    if (!Fits(GetShortPathNameA(copyPath, program, MAX_PATH), MAX_PATH))
        lstrcpynA(program, copyPath, MAX_PATH);

    char commandLine[MAX_PATH * 3 + 600];
    const int written = snprintf(commandLine, sizeof commandLine, "%s %d \"%s\" \"%s\"", program,
                                 static_cast<int>(reinterpret_cast<INT_PTR>(self.Get())), ownPath,
                                 installFolder);
    if (written < 0 || static_cast<size_t>(written) >= sizeof commandLine)
        return;

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    // The copy starts in the temporary folder: a process whose current
    // folder is the install folder keeps that folder from being removed.
    if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, tempFolder,
                       &startup, &process))
    {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}
