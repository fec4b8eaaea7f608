#include "LibraryPass.h"

#include "FileRemoval.h"
#include "FileSearch.h"
#include "FinalPath.h"
#include "HeldFolder.h"
#include "InstallFolderGuard.h"
#include "MessagePause.h"
#include "PathJoin.h"

namespace
{
// A file that is a link would load a library from outside the folder.
bool IsPlainFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0
        && InstallFolderGuard::Upper(FinalPathOf(path)) == InstallFolderGuard::Upper(path);
}

void CallUninstallEntry(const std::wstring& path)
{
    const HMODULE library = LoadLibraryW(path.c_str());
    if (library == nullptr)
        return;
    typedef void (*UninstallEntry)();
    const UninstallEntry entry = reinterpret_cast<UninstallEntry>(
        reinterpret_cast<void*>(GetProcAddress(library, "Uninstall")));
    if (entry != nullptr)
        entry();
    FreeLibrary(library);
}
}

LibraryPass::LibraryPass(const std::wstring& installFolder)
    : m_Folder(JoinPath(installFolder, L"libraries"))
{
}

int LibraryPass::CountFiles() const
{
    const HeldFolder held(m_Folder);
    if (!held.IsPlainFolder())
        return 0;
    FileSearch search(m_Folder);
    if (!search.IsOpen())
        return 0;
    int count = 0;
    do
    {
        if (!search.IsFolder())
            ++count;
    } while (search.Next());
    return count;
}

void LibraryPass::Run(unsigned long pauseMilliseconds, RemovalReport& report) const
{
    const HeldFolder held(m_Folder);
    if (!held.IsPlainFolder())
        return;
    FileSearch search(m_Folder);
    if (!search.IsOpen())
        return;
    do
    {
        if (search.IsFolder())
            continue;
        const std::wstring path = search.Path();
        if (IsPlainFile(path))
            CallUninstallEntry(path);
        if (path.find(L"uninstall.exe") == std::wstring::npos)
            RemoveFile(path, report);
        PauseWithMessages(pauseMilliseconds);
    } while (search.Next());
}
