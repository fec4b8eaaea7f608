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

void SetEntryTime(const char* path, unsigned long dosDateTime)
{
    FILETIME utc;
    if (!DosTimeToUtc(dosDateTime, utc))
        return;
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    FILETIME created;
    FILETIME accessed;
    FILETIME written;
    if (GetFileTime(file, &created, &accessed, &written))
        SetFileTime(file, &utc, &accessed, &utc);
    CloseHandle(file);
}
