#ifndef UNINSTALL_FOLDERREMOVAL_H
#define UNINSTALL_FOLDERREMOVAL_H

// Deletes every file below folder except those whose full path contains
// "uninstall.exe", and removes every sub-folder whose name does not begin
// with a dot. Links to folders are removed as links, never entered. The
// folder itself stays. Failures are ignored.
void RemoveFolderContents(const char* folder);

#endif
