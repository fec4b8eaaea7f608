#include "FileSearch.h"

#include "PathNames.h"
#include "PathJoin.h"

FileSearch::FileSearch(const std::wstring& folder)
    : m_Folder(folder)
    , m_hSearch(FindFirstFileW(ExtendedLengthPath(JoinPath(folder, L"*")).c_str(), &m_Entry))
{
}

FileSearch::~FileSearch()
{
    if (m_hSearch != INVALID_HANDLE_VALUE)
        FindClose(m_hSearch);
}

std::wstring FileSearch::Path() const
{
    return JoinPath(m_Folder, m_Entry.cFileName);
}

bool FileSearch::Next()
{
    return m_hSearch != INVALID_HANDLE_VALUE && FindNextFileW(m_hSearch, &m_Entry) != FALSE;
}
