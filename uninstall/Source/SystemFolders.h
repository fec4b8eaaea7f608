#ifndef UNINSTALL_SYSTEMFOLDERS_H
#define UNINSTALL_SYSTEMFOLDERS_H

class InstallFolderGuard;

// Gives the guard this machine's Windows folders, every known folder of the
// machine and of each profile, the folders of profiles and the machine's
// names, each as the system names it and, where it exists, as the file
// system resolves it.
void AddSystemFolders(InstallFolderGuard& guard);

#endif
