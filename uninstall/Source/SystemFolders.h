#ifndef UNINSTALL_SYSTEMFOLDERS_H
#define UNINSTALL_SYSTEMFOLDERS_H

class InstallFolderGuard;

// Gives the guard this machine's Windows folders, every known folder of the
// machine and of each profile and the folders of profiles, each as the
// system names it and, where it exists, as the file system resolves it; and
// the ways a path leads back to this machine (ThisMachine.h).
void AddSystemFolders(InstallFolderGuard& guard);

#endif
