#include "FolderPath.h"

#include <windows.h>

bool MakeFolderPath(const std::wstring& path)
{
    std::wstring folder(path);
    while (!folder.empty() && (folder.back() == L'/' || folder.back() == L'\\'))
        folder.pop_back();
    if (folder.empty())
        return false;
    if (CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return true;
    for (size_t i = 1; i <= folder.size(); ++i) {
        if (i < folder.size() && folder[i] != L'\\' && folder[i] != L'/')
            continue;
        const std::wstring prefix = folder.substr(0, i);
        if (!CreateDirectoryW(prefix.c_str(), nullptr) && GetLastError() == ERROR_PATH_NOT_FOUND)
            return false;
    }
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
