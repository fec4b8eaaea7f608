#ifndef UNINSTALL_SYSTEMFOLDERS_H
#define UNINSTALL_SYSTEMFOLDERS_H

class InstallFolderGuard;

// Gives the guard this machine's Windows, system, Program Files and profile
// folders, as the system, the environment and the registry name them.
void AddSystemFolders(InstallFolderGuard& guard);

#endif
