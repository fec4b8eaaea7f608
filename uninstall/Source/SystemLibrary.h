#ifndef UNINSTALL_SYSTEMLIBRARY_H
#define UNINSTALL_SYSTEMLIBRARY_H

#include <windows.h>

// Owns a library of the system folder, loaded by its full path, and frees it
// on every path. The uninstaller imports only known DLLs, which the loader
// takes from the system folder wherever the program runs (its cleanup copy
// runs from the temporary folder); any other system library comes through
// here, never by a bare name that a file beside the program could answer.
class SystemLibrary
{
public:
    explicit SystemLibrary(const wchar_t* fileName);
    ~SystemLibrary();

    bool IsLoaded() const { return m_hLibrary != nullptr; }
    // The export's address; null when the library or the export is missing.
    FARPROC Procedure(const char* name) const;

private:
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    HMODULE m_hLibrary;
};

#endif
