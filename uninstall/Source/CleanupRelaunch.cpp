#include "CleanupRelaunch.h"

#include "KernelHandle.h"
#include "PathJoin.h"
#include "RelaunchArguments.h"

#include <windows.h>

#include <vector>

namespace
{
std::wstring OwnProgramPath()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

std::wstring TemporaryFolder()
{
    wchar_t folder[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, folder);
    return length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

// A folder made by this call, so that no other program's files lie beside
// the copy: the copy's libraries are looked for in its own folder first.
std::wstring MakeOwnFolder(const std::wstring& parent)
{
    const unsigned long base = GetCurrentProcessId() ^ GetTickCount();
    for (unsigned long attempt = 0; attempt < 100; ++attempt)
    {
        wchar_t name[32];
        wsprintfW(name, L"Del%08lX", base + attempt * 7919ul);
        const std::wstring folder = JoinPath(parent, name);
        if (CreateDirectoryW(folder.c_str(), nullptr))
            return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::wstring();
    }
    return std::wstring();
}

// Removes the folder and the copy unless the start succeeded.
class CopyFolder
{
public:
    explicit CopyFolder(const std::wstring& folder) : m_Folder(folder), m_bKept(false) {}
    ~CopyFolder()
    {
        if (m_bKept || m_Folder.empty())
            return;
        DeleteFileW(m_Copy.c_str());
        RemoveDirectoryW(m_Folder.c_str());
    }
    void SetCopy(const std::wstring& copy) { m_Copy = copy; }
    void Keep() { m_bKept = true; }

private:
    CopyFolder(const CopyFolder&) = delete;
    CopyFolder& operator=(const CopyFolder&) = delete;

    std::wstring m_Folder;
    std::wstring m_Copy;
    bool m_bKept;
};
}

bool StartCleanupCopy(const std::wstring& installFolder)
{
    const std::wstring ownPath = OwnProgramPath();
    const std::wstring tempFolder = TemporaryFolder();
    if (ownPath.empty() || tempFolder.empty())
        return false;
    const std::wstring folder = MakeOwnFolder(tempFolder);
    if (folder.empty())
        return false;
    CopyFolder made(folder);
    const std::wstring copyPath = JoinPath(folder, folder.substr(folder.find_last_of(L'\\') + 1) + L".tmp");
    made.SetCopy(copyPath);
    if (!CopyFileW(ownPath.c_str(), copyPath.c_str(), TRUE))
        return false;
    KernelHandle copy(CreateFileW(copyPath.c_str(), 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!copy.IsValid())
        return false;
    const KernelHandle self(OpenProcess(SYNCHRONIZE, TRUE, GetCurrentProcessId()));
    if (!self.IsValid())
        return false;

    const std::wstring line = RelaunchArguments::Format(
        copyPath, static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(self.Get())), ownPath, installFolder);
    if (line.empty())
        return false;
    std::vector<wchar_t> commandLine(line.begin(), line.end());
    commandLine.push_back(L'\0');

    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    // The copy starts in its own folder: a process whose current folder is
    // the install folder keeps that folder from being removed.
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup,
                        &process))
    {
        // The copy goes when its handle closes; the folder then is empty.
        copy.Close();
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    made.Keep();
    return true;
}
