#include "LibraryPass.h"

#include "FileSearch.h"
#include "MessagePause.h"
#include "PathJoin.h"

#include <string.h>

namespace
{
bool IsFile(const WIN32_FIND_DATAA& entry)
{
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A "libraries" folder that is a junction or symbolic link leads out of the
// install folder: nothing there is the product's to run or delete.
bool IsLink(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

void CallUninstallEntry(const char* path)
{
    const HMODULE library = LoadLibraryA(path);
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

LibraryPass::LibraryPass(const char* installFolder)
    : m_bValid(JoinPath(m_szFolder, sizeof m_szFolder, installFolder, "libraries")
               && JoinPath(m_szPattern, sizeof m_szPattern, m_szFolder, "*.*")
               && !IsLink(m_szFolder))
{
}

int LibraryPass::CountFiles() const
{
    if (!m_bValid)
        return 0;
    FileSearch search(m_szPattern);
    if (!search.IsOpen())
        return 0;
    int count = 0;
    do
    {
        if (IsFile(search.Entry()))
            ++count;
    } while (search.Next());
    return count;
}

void LibraryPass::Run(unsigned long pauseMilliseconds) const
{
    if (!m_bValid)
        return;
    FileSearch search(m_szPattern);
    if (!search.IsOpen())
        return;
    do
    {
        if (!IsFile(search.Entry()))
            continue;
        char path[MAX_PATH];
        if (!JoinPath(path, sizeof path, m_szFolder, search.Entry().cFileName))
            continue;
        CallUninstallEntry(path);
        if (strstr(path, "uninstall.exe") == nullptr)
            DeleteFileA(path);
        PauseWithMessages(pauseMilliseconds);
    } while (search.Next());
}
