#include "PathNames.h"

namespace
{
bool SameLetters(const wchar_t* text, const char* word, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (word[i] == '\0' || FoldCase(text[i]) != static_cast<wchar_t>(word[i]))
            return false;
    return word[length] == '\0';
}

bool IsPortNumber(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || c == 0x00B9 || c == 0x00B2 || c == 0x00B3;
}
}

bool NamesDevice(const wchar_t* step, size_t length)
{
    static const char* const kDevices[] = { "CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$" };
    size_t base = 0;
    while (base < length && step[base] != L'.')
        ++base;
    while (base > 0 && step[base - 1] == L' ')
        --base;
    for (const char* device : kDevices)
        if (SameLetters(step, device, base))
            return true;
    return base == 4 && IsPortNumber(step[3]) && (SameLetters(step, "COM", 3) || SameLetters(step, "LPT", 3));
}

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
