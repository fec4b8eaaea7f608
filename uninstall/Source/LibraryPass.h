#ifndef UNINSTALL_LIBRARYPASS_H
#define UNINSTALL_LIBRARYPASS_H

#include <windows.h>

// The plug-in libraries of the install folder's "libraries" sub-folder: every
// file there may export "Uninstall", which runs before the file is deleted.
// A "libraries" entry that is a link counts as an empty folder.
class LibraryPass
{
public:
    explicit LibraryPass(const char* installFolder);

    // Number of entries of the folder that are not folders.
    int CountFiles() const;
    // For each file: load it, call its "Uninstall" export if it has one,
    // unload it, and delete it unless its path contains "uninstall.exe";
    // pauses pauseMilliseconds after each file.
    void Run(unsigned long pauseMilliseconds) const;

private:
    char m_szFolder[MAX_PATH];
    char m_szPattern[MAX_PATH];
    bool m_bValid;
};

#endif
