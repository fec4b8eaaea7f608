#include "InstallFolderGuard.h"

#include "UpperCaseText.h"

#include <string.h>

namespace
{
// Windows' MAX_PATH: no folder the guard compares is longer.
const size_t kPathSize = 260;

bool IsDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Checks the steps of a path after its root; rest has no trailing backslash.
bool StepsAreSound(const char* rest)
{
    while (*rest != '\0')
    {
        const char* end = strchr(rest, '\\');
        const size_t length = end != nullptr ? static_cast<size_t>(end - rest) : strlen(rest);
        if (length == 0)
            return false;
        if (rest[length - 1] == '.' || rest[length - 1] == ' ')
            return false;
        if (end == nullptr)
            return true;
        rest = end + 1;
    }
    return true;
}

// Number of steps after the two leading backslashes of a share path.
int ShareSteps(const char* normalized)
{
    int steps = 1;
    for (const char* p = normalized + 2; *p != '\0'; ++p)
        if (*p == '\\')
            ++steps;
    return steps;
}
}

InstallFolderGuard::InstallFolderGuard()
{
}

void InstallFolderGuard::AddProtectedFolder(const char* path)
{
    char normalized[kPathSize];
    if (path != nullptr && Normalize(path, normalized, sizeof normalized))
        m_ProtectedFolders.append(ZymString(normalized));
}

void InstallFolderGuard::AddProfilesFolder(const char* path)
{
    char normalized[kPathSize];
    if (path != nullptr && Normalize(path, normalized, sizeof normalized))
    {
        m_ProfilesFolders.append(ZymString(normalized));
        m_ProtectedFolders.append(ZymString(normalized));
    }
}

bool InstallFolderGuard::Normalize(const char* path, char* out, size_t outSize)
{
    const size_t length = strlen(path);
    if (length == 0 || length >= outSize)
        return false;
    memcpy(out, path, length + 1);
    for (char* p = out; *p != '\0'; ++p)
        if (*p == '/')
            *p = '\\';
    size_t end = length;
    while (end > 0 && out[end - 1] == '\\')
        out[--end] = '\0';

    const char* rest = nullptr;
    if (out[0] == '\\' && out[1] == '\\')
    {
        if (out[2] == '?' || out[2] == '.')
            return false;
        rest = out + 2;
        if (*rest == '\0')
            return false;
    }
    else if (IsDriveLetter(out[0]) && out[1] == ':' && (path[2] == '\\' || path[2] == '/'))
    {
        rest = out[2] == '\\' ? out + 3 : out + 2;
    }
    else
    {
        return false;
    }
    if (!StepsAreSound(rest))
        return false;
    UpperCaseText(out);
    return true;
}

bool InstallFolderGuard::IsAtOrAbove(const char* folder, const ZymString& protectedFolder)
{
    const size_t length = strlen(folder);
    const char* text = protectedFolder.Text();
    return strncmp(text, folder, length) == 0 && (text[length] == '\0' || text[length] == '\\');
}

bool InstallFolderGuard::IsDirectlyBelow(const char* folder, const ZymString& parent)
{
    const size_t length = static_cast<size_t>(parent.Length());
    return strncmp(folder, parent.Text(), length) == 0 && folder[length] == '\\'
        && strchr(folder + length + 1, '\\') == nullptr;
}

bool InstallFolderGuard::IsRemovable(const char* folder) const
{
    char normalized[kPathSize];
    if (folder == nullptr || !Normalize(folder, normalized, sizeof normalized))
        return false;
    if (normalized[1] == ':' && normalized[2] == '\0')
        return false;
    if (normalized[0] == '\\' && ShareSteps(normalized) < 3)
        return false;
    for (TList<ZymString>::ConstIterator walker(m_ProtectedFolders); walker.hasCurrent(); walker.Step())
        if (IsAtOrAbove(normalized, walker.iterator()))
            return false;
    for (TList<ZymString>::ConstIterator walker(m_ProfilesFolders); walker.hasCurrent(); walker.Step())
        if (IsDirectlyBelow(normalized, walker.iterator()))
            return false;
    return true;
}
