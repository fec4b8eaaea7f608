#ifndef UNINSTALL_FILESEARCH_H
#define UNINSTALL_FILESEARCH_H

#include <windows.h>

// Owns one FindFirstFileA search and closes it on every path.
class FileSearch
{
public:
    explicit FileSearch(const char* pattern);
    ~FileSearch();

    bool IsOpen() const { return m_hSearch != INVALID_HANDLE_VALUE; }
    const WIN32_FIND_DATAA& Entry() const { return m_Entry; }
    // Moves to the next entry; false at the end of the listing.
    bool Next();

private:
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    HANDLE m_hSearch;
    WIN32_FIND_DATAA m_Entry;
};

#endif
