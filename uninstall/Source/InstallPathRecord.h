#ifndef UNINSTALL_INSTALLPATHRECORD_H
#define UNINSTALL_INSTALLPATHRECORD_H

// Whether the product's registry key records an install folder. Only reads:
// the folder lookup itself falls back to searching the drives and to
// creating a folder, which an unattended run must not do on a guess.
bool InstallPathRecorded();

#endif
