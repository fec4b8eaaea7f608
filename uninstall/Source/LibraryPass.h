#ifndef UNINSTALL_LIBRARYPASS_H
#define UNINSTALL_LIBRARYPASS_H

#include <string>

class RemovalReport;

// The plug-in libraries of the install folder's "libraries" sub-folder: every
// file there may export "Uninstall", which runs before the file is deleted.
// A "libraries" entry that is a link counts as an empty folder, and so does a
// file that is one. Names are taken, loaded and deleted in UTF-16.
class LibraryPass
{
public:
    // installFolder is the resolved install folder.
    explicit LibraryPass(const std::wstring& installFolder);

    // Number of entries of the folder that are not folders.
    int CountFiles() const;
    // For each file: load it, call its "Uninstall" export if it has one,
    // unload it, and delete it unless its path contains "uninstall.exe";
    // pauses pauseMilliseconds after each file. The report hears of each
    // library before it is loaded and of what its call came to, and is told
    // what cannot be deleted.
    void Run(unsigned long pauseMilliseconds, RemovalReport& report) const;

private:
    std::wstring m_Folder;
};

#endif
