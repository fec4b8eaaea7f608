#ifndef ENTRYOUTPUT_H
#define ENTRYOUTPUT_H

#include <windows.h>

#include <string>

// The file one archive entry is written to: a fresh temporary file in the
// folder of its final path, opened once. Commit gives it the entry's time
// through the open handle and puts it in place of the final path; a failed
// or abandoned entry leaves the file it was to replace untouched and takes
// the temporary file away.
class EntryOutput {
public:
    // Opens the temporary file, creating the folders on its way when
    // makeFolders is set. IsOpen tells whether that worked.
    EntryOutput(const std::wstring& finalPath, bool makeFolders);
    ~EntryOutput();
    EntryOutput(const EntryOutput&) = delete;
    EntryOutput& operator=(const EntryOutput&) = delete;

    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    bool Write(const void* data, DWORD size);
    // Sets the time and renames the file over the final path; false (and the
    // temporary file removed) when either fails.
    bool Commit(unsigned long dosDateTime);

private:
    void Discard();

    std::wstring m_FinalPath;
    std::wstring m_TempPath;
    HANDLE m_hFile;
};

#endif
