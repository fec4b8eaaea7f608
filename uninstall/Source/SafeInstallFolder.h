#ifndef UNINSTALL_SAFEINSTALLFOLDER_H
#define UNINSTALL_SAFEINSTALLFOLDER_H

// True when folder may be emptied and removed on this machine: it passes the
// guard against this machine's system and profile folders, and neither it
// nor a folder on its way is a link (which could lead anywhere).
bool IsSafeInstallFolder(const char* folder);

#endif
