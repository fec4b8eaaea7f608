#include "LibraryPass.h"

#include "FileRemoval.h"
#include "FileSearch.h"
#include "FinalPath.h"
#include "HeldFolder.h"
#include "InstallFolderGuard.h"
#include "MessagePause.h"
#include "PathForms.h"
#include "PathJoin.h"
#include "RemovalReport.h"

namespace
{
// Whether the name the loader is given opens the listed file itself, as a
// plain file: a link would load a library from outside the folder. The
// name is resolved as the loader resolves it, in its ordinary form, so a
// listed name that this form trims ("x." or "x ") opens another file and is
// refused.
bool OpensThePlainFile(const std::wstring& loadName, const std::wstring& listed)
{
    const DWORD attributes = GetFileAttributesW(loadName.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0
        && InstallFolderGuard::Upper(FinalPathOf(loadName)) == InstallFolderGuard::Upper(listed);
}

RemovalEvents::Event CallUninstallEntry(const std::wstring& path)
{
    const std::wstring loadName = LibraryLoadName(path);
    if (!OpensThePlainFile(loadName, path))
        return RemovalEvents::PluginNotLoaded;
    const HMODULE library = LoadLibraryExW(loadName.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (library == nullptr)
        return RemovalEvents::PluginNotLoaded;
    typedef void (*UninstallEntry)();
    const UninstallEntry entry = reinterpret_cast<UninstallEntry>(
        reinterpret_cast<void*>(GetProcAddress(library, "Uninstall")));
    if (entry != nullptr)
        entry();
    FreeLibrary(library);
    return entry != nullptr ? RemovalEvents::PluginCalled : RemovalEvents::PluginWithoutEntry;
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
        report.Note(RemovalEvents::PluginStarting, path);
        report.Note(CallUninstallEntry(path), path);
        if (path.find(L"uninstall.exe") == std::wstring::npos)
            RemoveFile(path, report);
        PauseWithMessages(pauseMilliseconds);
    } while (search.Next());
}
