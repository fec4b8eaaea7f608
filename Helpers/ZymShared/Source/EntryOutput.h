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
// untouched and takes the file it wrote away.
class EntryOutput {
public:
    // Opens the file, creating the folders on its way when makeFolders is
    // set. IsOpen tells whether that worked.
    EntryOutput(const std::wstring& finalPath, bool makeFolders);
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

    const std::wstring m_FinalPath;
    PendingFile m_File;
};

#endif
