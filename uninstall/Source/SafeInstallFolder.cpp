#include "SafeInstallFolder.h"

#include "FinalPath.h"
#include "SystemFolders.h"

#include <windows.h>

#include <vector>

namespace
{
bool IsLink(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Checks every folder from the root down to the folder itself.
bool PathHasLink(const std::wstring& folder)
{
    for (size_t i = 3; i <= folder.size(); ++i)
        if ((i == folder.size() || folder[i] == L'\\') && IsLink(folder.substr(0, i)))
            return true;
    return false;
}

std::wstring OwnProgramFinalPath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 3; ++attempt)
    {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::wstring();
        if (length < buffer.size())
            return FinalPathOf(std::wstring(buffer.data(), length));
        buffer.resize(buffer.size() * 4);
    }
    return std::wstring();
}
}

std::wstring WidenInstallFolder(const char* folder)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, folder, -1, nullptr, 0);
    if (length <= 1)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, folder, -1, &wide[0], length) != length)
        return std::wstring();
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

InstallFolderGuard::Verdict CheckInstallFolder(const std::wstring& folder, bool programMustBeInside,
                                               std::wstring& resolved)
{
    resolved.clear();
    InstallFolderGuard guard;
    AddSystemFolders(guard);
    InstallFolderGuard::Verdict verdict = guard.Judge(folder);
    if (verdict != InstallFolderGuard::Removable)
        return verdict;
    const std::wstring full = FullPathOf(folder);
    verdict = guard.Judge(full);
    if (verdict != InstallFolderGuard::Removable)
        return verdict;
    if (PathHasLink(full))
        return InstallFolderGuard::ReachedThroughLink;
    const std::wstring final = FinalPathOf(full);
    if (final.empty())
        return InstallFolderGuard::NotFound;
    verdict = guard.Judge(final);
    if (verdict != InstallFolderGuard::Removable)
        return verdict;
    if (programMustBeInside && !InstallFolderGuard::IsInside(OwnProgramFinalPath(), final))
        return InstallFolderGuard::ProgramOutside;
    resolved = final;
    return InstallFolderGuard::Removable;
}
