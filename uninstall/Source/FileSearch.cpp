#include "FileSearch.h"

FileSearch::FileSearch(const char* pattern)
    : m_hSearch(FindFirstFileA(pattern, &m_Entry))
{
}

FileSearch::~FileSearch()
{
    if (m_hSearch != INVALID_HANDLE_VALUE)
        FindClose(m_hSearch);
}

bool FileSearch::Next()
{
    return m_hSearch != INVALID_HANDLE_VALUE && FindNextFileA(m_hSearch, &m_Entry) != FALSE;
}
