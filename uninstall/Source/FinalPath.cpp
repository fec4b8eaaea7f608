#include "FinalPath.h"

#include "InstallFolderGuard.h"
#include "KernelHandle.h"

#include <vector>

std::wstring FinalPathOf(HANDLE handle)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        const DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return std::wstring();
        if (length < buffer.size())
            return InstallFolderGuard::WithoutFinalPathPrefix(std::wstring(buffer.data(), length));
        buffer.resize(length + 1);
    }
    return std::wstring();
}

std::wstring FinalPathOf(const std::wstring& path)
{
    const KernelHandle handle(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return handle.IsValid() ? FinalPathOf(handle.Get()) : std::wstring();
}

std::wstring FullPathOf(const std::wstring& path)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (length == 0)
            return std::wstring();
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
    return std::wstring();
}
