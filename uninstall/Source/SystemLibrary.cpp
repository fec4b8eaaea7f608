#include "SystemLibrary.h"

#include "PathJoin.h"

#include <string>

SystemLibrary::SystemLibrary(const wchar_t* fileName)
    : m_hLibrary(nullptr)
{
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    // The altered search path takes the library's own imports from its
    // folder too.
    m_hLibrary = LoadLibraryExW(JoinPath(std::wstring(folder, length), fileName).c_str(), nullptr,
                                LOAD_WITH_ALTERED_SEARCH_PATH);
}

SystemLibrary::~SystemLibrary()
{
    if (m_hLibrary != nullptr)
        FreeLibrary(m_hLibrary);
}

FARPROC SystemLibrary::Procedure(const char* name) const
{
    return m_hLibrary != nullptr ? GetProcAddress(m_hLibrary, name) : nullptr;
}
