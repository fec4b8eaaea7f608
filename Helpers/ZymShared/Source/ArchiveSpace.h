#ifndef ARCHIVESPACE_H
#define ARCHIVESPACE_H

#include <string>

#include "unzip.h"

// Whether every entry of the archive, at the size it declares, fits into the
// free space of the destination's volume (the space this user may take).
// Walks the archive's directory and leaves it at its first entry; false as
// well when the directory or the free space cannot be read.
bool ArchiveFitsDestination(unzFile zip, const std::wstring& destination);

#endif
