#include "LongPath.h"

#include "PathNames.h"

#include <windows.h>

namespace {

const wchar_t kExtendedPrefix[] = L"\\\\?\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, wcslen(prefix), prefix) == 0;
}

} // namespace

std::wstring ExtendedPath(const std::wstring& path)
{
    if (path.empty())
        return std::wstring();
    if (StartsWith(path, kExtendedPrefix))
        return path;
    // The resolved length depends on the current folder, which another
    // thread may change between the two calls: ask again while it grows.
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
        if (length == 0)
            return std::wstring();
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.assign(length, L'\0');
    }
    return ExtendedLengthPath(full);
}
