#include "SafeInstallFolder.h"

#include "InstallFolderGuard.h"
#include "SystemFolders.h"

#include <windows.h>

#include <string.h>

namespace
{
bool IsLink(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Checks every folder from the root down to the folder itself.
bool PathHasLink(const char* folder)
{
    char path[MAX_PATH];
    const size_t length = strlen(folder);
    if (length >= sizeof path)
        return true;
    memcpy(path, folder, length + 1);
    for (size_t i = 3; i <= length; ++i)
    {
        if (path[i] != '\\' && path[i] != '/' && path[i] != '\0')
            continue;
        const char kept = path[i];
        path[i] = '\0';
        const bool link = IsLink(path);
        path[i] = kept;
        if (link)
            return true;
    }
    return false;
}
}

bool IsSafeInstallFolder(const char* folder)
{
    InstallFolderGuard guard;
    AddSystemFolders(guard);
    if (!guard.IsRemovable(folder))
        return false;
    // A short name such as PROGRA~1 would slip past the comparison.
    char longForm[MAX_PATH];
    const DWORD length = GetLongPathNameA(folder, longForm, sizeof longForm);
    if (length > 0 && length < sizeof longForm)
    {
        if (!guard.IsRemovable(longForm))
            return false;
    }
    else if (strchr(folder, '~') != nullptr)
    {
        return false;
    }
    return !PathHasLink(folder);
}
