#include "PathJoin.h"

#include <string.h>

bool JoinPath(char* out, size_t outSize, const char* folder, const char* name)
{
    if (outSize == 0)
        return false;
    out[0] = '\0';
    const size_t folderLength = strlen(folder);
    const bool hasSeparator = folderLength > 0 && folder[folderLength - 1] == '\\';
    const size_t needed = folderLength + (hasSeparator ? 0 : 1) + strlen(name) + 1;
    if (needed > outSize)
        return false;
    memcpy(out, folder, folderLength);
    size_t at = folderLength;
    if (!hasSeparator)
        out[at++] = '\\';
    memcpy(out + at, name, strlen(name) + 1);
    return true;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name)
{
    if (!folder.empty() && folder.back() == L'\\')
        return folder + name;
    return folder + L"\\" + name;
}
