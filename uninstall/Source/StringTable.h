#ifndef UNINSTALL_STRINGTABLE_H
#define UNINSTALL_STRINGTABLE_H

#include <windows.h>

#include <string>

// The program's words, from its string table: every text the program shows
// comes through here. A missing string is empty.
class StringTable
{
public:
    explicit StringTable(HINSTANCE hInstance) : m_hInstance(hInstance) {}

    std::wstring Text(UINT id) const;
    // The string with "%1" and "%2" replaced by first and second, in the
    // order the language puts them; the words and arguments side by side
    // when the string cannot be formatted.
    std::wstring Formatted(UINT id, const std::wstring& first, const std::wstring& second = std::wstring()) const;

private:
    HINSTANCE m_hInstance;
};

#endif
