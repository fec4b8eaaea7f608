#include "PathForms.h"

std::wstring LibraryLoadName(const std::wstring& path)
{
    const size_t nameStart = path.find_last_of(L"\\/");
    const size_t dot = path.find(L'.', nameStart == std::wstring::npos ? 0 : nameStart + 1);
    return dot == std::wstring::npos ? path + L"." : path;
}
