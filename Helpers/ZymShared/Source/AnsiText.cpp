#include "AnsiText.h"

#include <windows.h>

std::wstring WidenAnsi(const char* text, size_t length)
{
    if (length == 0)
        return std::wstring();
    const int size = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), &wide[0], size);
    return wide;
}
