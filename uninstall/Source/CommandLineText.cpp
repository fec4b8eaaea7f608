#include "CommandLineText.h"

bool IsCommandLineBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

size_t SkipProgramName(const std::wstring& line)
{
    if (!line.empty() && line[0] == L'"')
    {
        const size_t end = line.find(L'"', 1);
        return end != std::wstring::npos ? end + 1 : line.size();
    }
    size_t at = 0;
    while (at < line.size() && !IsCommandLineBlank(line[at]))
        ++at;
    return at;
}
