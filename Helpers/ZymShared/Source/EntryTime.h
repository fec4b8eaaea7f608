#ifndef ENTRYTIME_H
#define ENTRYTIME_H

#include <windows.h>

// Gives the open file the creation and last-write time of an archive entry's
// DOS date-time (date in the high 16 bits), read as local time under the
// time-zone rules of that date. The last-access time is kept. False when the
// time could not be converted or set.
bool SetEntryTime(HANDLE file, unsigned long dosDateTime);

#endif
