#include "FolderPath.h"

#include <windows.h>

#include <vector>

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

size_t WithoutTrailingSeparators(const std::wstring& path, size_t length)
{
    while (length > 0 && IsSeparator(path[length - 1]))
        --length;
    return length;
}

// The length of the folder holding the first length characters of path.
size_t ParentLength(const std::wstring& path, size_t length)
{
    while (length > 0 && !IsSeparator(path[length - 1]))
        --length;
    return WithoutTrailingSeparators(path, length);
}

} // namespace

bool MakeFolderPath(const std::wstring& path, size_t& outermostMade)
{
    outermostMade = 0;
    const size_t whole = WithoutTrailingSeparators(path, path.size());
    if (whole == 0)
        return false;
    // Climbs from the folder itself to the nearest one that exists or can be
    // made, then makes the missing ones on the way back down: so the walk
    // never has to tell a drive, a share or the \\?\ prefix from a folder.
    std::vector<size_t> missing;
    size_t length = whole;
    for (;;) {
        if (CreateDirectoryW(path.substr(0, length).c_str(), nullptr)) {
            outermostMade = length;
            break;
        }
        if (GetLastError() != ERROR_PATH_NOT_FOUND)
            break;
        missing.push_back(length);
        length = ParentLength(path, length);
        if (length == 0)
            return false;
    }
    for (size_t i = missing.size(); i-- > 0;) {
        if (CreateDirectoryW(path.substr(0, missing[i]).c_str(), nullptr)) {
            if (outermostMade == 0)
                outermostMade = missing[i];
        } else if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    const DWORD attributes = GetFileAttributesW(path.substr(0, whole).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void RemoveMadeFolders(std::wstring& path, size_t outermostMade)
{
    size_t length = WithoutTrailingSeparators(path, path.size());
    while (outermostMade != 0 && length >= outermostMade) {
        path[length] = L'\0';
        if (!RemoveDirectoryW(path.c_str()))
            return;
        length = ParentLength(path, length);
    }
}
