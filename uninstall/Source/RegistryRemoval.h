#ifndef UNINSTALL_REGISTRYREMOVAL_H
#define UNINSTALL_REGISTRYREMOVAL_H

#include <windows.h>

class RemovalReport;

// Deletes the product's key (company\\product\\version, ProductIdentity.h) below the
// Software key of the hive that holds the company key, then each parent that
// is left without sub-keys. A key that stays does not stop the walk; each
// key deleted or left is noted in the report.
void RemoveRegistryKeys(RemovalReport& report);
void RemoveRegistryKeys();

// Empties subKey below parent: all its sub-keys, recursively, and all its
// values; the key itself stays. False when the key could not be opened.
bool DeleteKeyContents(HKEY parent, const char* subKey);

#endif
