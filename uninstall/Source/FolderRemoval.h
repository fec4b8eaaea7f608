#ifndef UNINSTALL_FOLDERREMOVAL_H
#define UNINSTALL_FOLDERREMOVAL_H

#include <string>

class RemovalReport;

// Deletes every file below folder except those whose full path contains
// "uninstall.exe", and removes every sub-folder whose name does not begin
// with a dot. Each folder is judged when it is entered, through a handle
// that does not follow links and that keeps it from being swapped while it
// is worked on: a link is removed as a link, never entered. The folder
// itself stays. What cannot be removed is retried, scheduled for the next
// restart or named in the report. folder is a resolved full path.
void RemoveFolderContents(const std::wstring& folder, RemovalReport& report);

// The step for one folder found in a listing: enters it only when it is
// still a plain folder, empties it and removes it.
void RemoveListedFolder(const std::wstring& path, RemovalReport& report);

#endif
