#ifndef PENDINGFILE_H
#define PENDINGFILE_H

#include <windows.h>

#include <string>

// A file this extraction created and has not yet finished: it owns the
// handle from the moment the file exists, and unless Keep is called the file
// is closed and removed when the object goes, however that happens. The path
// is taken before the file is created, so nothing that can fail lies between
// the creation and the owner.
class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Creates path, which must not exist yet, for writing with the given
    // access. False, with the system's error in GetLastError, when the file
    // could not be created; only one file at a time.
    bool Create(const std::wstring& path, DWORD access);

    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    HANDLE Handle() const { return m_hFile; }
    const std::wstring& Path() const { return m_Path; }

    // Closes the file and leaves it where it now is.
    void Keep();
    // Closes the file and removes it.
    void Discard();

private:
    std::wstring m_Path;
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
};

#endif
