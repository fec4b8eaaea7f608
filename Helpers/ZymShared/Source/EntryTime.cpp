#include "EntryTime.h"

#include <windows.h>

namespace {

// Converting through the current bias would shift every entry dated on the
// other side of a daylight-saving change by an hour; the conversion here
// applies the rules in force on the entry's own date.
bool DosTimeToUtc(unsigned long dosDateTime, FILETIME& utc)
{
    FILETIME dosAsFileTime;
    if (!DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16),
                               static_cast<WORD>(dosDateTime & 0xFFFF), &dosAsFileTime))
        return false;
    SYSTEMTIME local;
    SYSTEMTIME universal;
    if (!FileTimeToSystemTime(&dosAsFileTime, &local))
        return false;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &universal))
        return false;
    return SystemTimeToFileTime(&universal, &utc) != FALSE;
}

} // namespace

bool SetEntryTime(HANDLE file, unsigned long dosDateTime)
{
    FILETIME utc;
    return DosTimeToUtc(dosDateTime, utc) && SetFileTime(file, &utc, nullptr, &utc) != FALSE;
}
