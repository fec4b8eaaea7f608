#ifndef ENTRYNAME_H
#define ENTRYNAME_H

#include <stddef.h>

// Whether a name stored in an archive stays below the destination it is
// joined to and names a plain file there: relative, no drive or stream colon,
// no ".." component under either separator, no component that names a
// device, and a stored length that fits the name buffer with its terminator
// (a longer name arrives cut and unterminated).
bool IsSafeEntryName(const char* name, size_t storedLength, size_t bufferSize);

#endif
