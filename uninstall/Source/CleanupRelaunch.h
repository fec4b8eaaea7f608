#ifndef UNINSTALL_CLEANUPRELAUNCH_H
#define UNINSTALL_CLEANUPRELAUNCH_H

// Starts a temporary copy of this program that waits for this process to
// end and then deletes this program's file and the install folder. The
// system deletes the copy once its last handle is gone.
void StartCleanupCopy(const char* installFolder);

#endif
