#include "PathForms.h"

namespace
{
// Whether the steps from start on are plain names the system would not
// reinterpret: no empty step, no "." or "..".
bool HasPlainSteps(const std::wstring& path, size_t start)
{
    while (start < path.size())
    {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos)
            end = path.size();
        const std::wstring step = path.substr(start, end - start);
        if ((step.empty() && end != path.size()) || step == L"." || step == L"..")
            return false;
        start = end + 1;
    }
    return true;
}
}

std::wstring ExtendedLengthPath(const std::wstring& path)
{
    if (path.find(L'/') != std::wstring::npos)
        return path;
    const bool drivePath = path.size() >= 3 && path[1] == L':' && path[2] == L'\\'
        && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    if (drivePath)
        return HasPlainSteps(path, 3) ? L"\\\\?\\" + path : path;
    const bool sharePath = path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?'
        && path[2] != L'.' && path[2] != L'\\';
    if (sharePath && HasPlainSteps(path, 2))
        return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

std::wstring LibraryLoadName(const std::wstring& path)
{
    const size_t nameStart = path.find_last_of(L"\\/");
    const size_t dot = path.find(L'.', nameStart == std::wstring::npos ? 0 : nameStart + 1);
    return dot == std::wstring::npos ? path + L"." : path;
}
