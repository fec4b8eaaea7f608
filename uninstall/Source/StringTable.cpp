#include "StringTable.h"

std::wstring StringTable::Text(UINT id) const
{
    // Without a buffer the system hands out the resource's own read-only
    // text, of any length.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(m_hInstance, id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::wstring StringTable::Formatted(UINT id, const std::wstring& first, const std::wstring& second) const
{
    const std::wstring format = Text(id);
    const DWORD_PTR arguments[] = { reinterpret_cast<DWORD_PTR>(first.c_str()),
                                    reinterpret_cast<DWORD_PTR>(second.c_str()) };
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER
                                            | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                        format.c_str(), 0, 0, reinterpret_cast<wchar_t*>(&text), 0,
                                        reinterpret_cast<va_list*>(const_cast<DWORD_PTR*>(arguments)));
    if (length == 0 || text == nullptr)
        return second.empty() ? format + L" " + first : format + L" " + first + L" " + second;
    const std::wstring result(text, length);
    LocalFree(text);
    return result;
}
