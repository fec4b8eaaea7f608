#ifndef UNINSTALL_FILESEARCH_H
#define UNINSTALL_FILESEARCH_H

#include <windows.h>

#include <string>

// Owns one FindFirstFileW search of a folder's entries and closes it on every
// path. Names come in UTF-16 as the file system holds them: the ANSI listing
// would map some characters onto path syntax ("．．／" onto "../").
class FileSearch
{
public:
    explicit FileSearch(const std::wstring& folder);
    ~FileSearch();

    bool IsOpen() const { return m_hSearch != INVALID_HANDLE_VALUE; }
    const WIN32_FIND_DATAW& Entry() const { return m_Entry; }
    bool IsFolder() const { return (m_Entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // The folder and the entry's name, joined.
    std::wstring Path() const;
    // Moves to the next entry; false at the end of the listing.
    bool Next();

private:
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    std::wstring m_Folder;
    HANDLE m_hSearch;
    WIN32_FIND_DATAW m_Entry;
};

#endif
