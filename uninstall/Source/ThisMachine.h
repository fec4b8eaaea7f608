#ifndef UNINSTALL_THISMACHINE_H
#define UNINSTALL_THISMACHINE_H

class InstallFolderGuard;

// Gives the guard every way a UNC path can lead back to this machine: its
// computer names, the addresses of its adapters, and the disk shares it
// offers with the folders they point at.
void AddThisMachine(InstallFolderGuard& guard);

#endif
