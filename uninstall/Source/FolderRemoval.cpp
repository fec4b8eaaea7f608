#include "FolderRemoval.h"

#include "FileSearch.h"
#include "PathJoin.h"

#include <string.h>

namespace
{
void ReportDeletion(const char* path)
{
    OutputDebugStringA("Deleting ");
    OutputDebugStringA(path);
    OutputDebugStringA("\r\n");
}

void RemoveSubFolder(const char* path, DWORD attributes)
{
    // A junction or symbolic link would lead out of the install folder: only
    // the link itself may go.
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        RemoveFolderContents(path);
    RemoveDirectoryA(path);
}
}

void RemoveFolderContents(const char* folder)
{
    char pattern[MAX_PATH];
    if (!JoinPath(pattern, sizeof pattern, folder, "*.*"))
        return;
    FileSearch search(pattern);
    if (!search.IsOpen())
        return;
    do
    {
        const WIN32_FIND_DATAA& entry = search.Entry();
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder && entry.cFileName[0] == '.')
            continue;
        char path[MAX_PATH];
        // An entry whose full path does not fit is left alone rather than
        // cut to a name that could belong to something else.
        if (!JoinPath(path, sizeof path, folder, entry.cFileName))
            continue;
        if (isFolder)
        {
            RemoveSubFolder(path, entry.dwFileAttributes);
            continue;
        }
        if (strstr(path, "uninstall.exe") == nullptr)
            DeleteFileA(path);
        ReportDeletion(path);
    } while (search.Next());
}
