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
