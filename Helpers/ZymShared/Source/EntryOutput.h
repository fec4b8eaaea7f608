#ifndef ENTRYOUTPUT_H
#define ENTRYOUTPUT_H

#include <windows.h>

#include <string>

#include "PendingFile.h"

// The file one archive entry is written to, opened once: the final path
// itself when nothing is there yet, else a fresh temporary file in its
// folder. Commit gives it the entry's time through the open handle and, for
// a temporary file, puts it in place of the final path; a failed or
// abandoned entry, an exception included, leaves the file it was to replace
// untouched and takes the file it wrote away, with the folders made for it.
class EntryOutput {
public:
    // Opens the file, creating the folders on its way when makeFolders is
    // set. IsOpen tells whether that worked.
    EntryOutput(const std::wstring& finalPath, bool makeFolders);
    ~EntryOutput();
    EntryOutput(const EntryOutput&) = delete;
    EntryOutput& operator=(const EntryOutput&) = delete;

    bool IsOpen() const { return m_File.IsOpen(); }
    bool Write(const void* data, DWORD size);
    // Sets the time and renames a temporary file over the final path; false
    // (and the file written removed) when the rename fails.
    bool Commit(unsigned long dosDateTime);

private:
    // The final path when it is free, else a temporary file beside it.
    bool Create(const std::wstring& folder);
    bool CreateTemporary(const std::wstring& folder);
    // Takes the file away, and the folders made for it as far as they are
    // empty.
    void Discard();

    const std::wstring m_FinalPath;
    // With its trailing separator; cut short once the file is taken away.
    std::wstring m_Folder;
    // The length of the outermost folder on m_Folder made for this file; 0
    // when none was.
    size_t m_nOutermostMade;
    PendingFile m_File;
};

#endif
