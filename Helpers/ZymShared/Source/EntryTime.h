#ifndef ENTRYTIME_H
#define ENTRYTIME_H

// Gives the open file the creation and last-write time of an archive entry's
// DOS date-time (date in the high 16 bits), read as local time under the
// time-zone rules of that date. The last-access time is kept. Failures leave
// the file as it is. The handle needs write access, and nothing may be
// written through it afterwards.
void SetEntryTime(void* file, unsigned long dosDateTime);

#endif
