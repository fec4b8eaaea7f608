#include "ArchiveSpace.h"

#include <windows.h>

#include "LongPath.h"

namespace {

// The nearest folder of the destination that exists already: the
// destination itself may be created by the extraction. A relative
// destination is resolved first, against the current folder or the root of
// the current drive, as the files will be.
bool FreeSpaceBelow(const std::wstring& destination, unsigned long long& free)
{
    std::wstring folder = ExtendedPath(destination.empty() ? std::wstring(L".") : destination);
    if (folder.empty())
        return false;
    for (;;) {
        // The \\?\ form names a folder only with its trailing separator.
        if (folder.back() != L'\\')
            folder += L'\\';
        ULARGE_INTEGER available;
        if (GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) {
            free = available.QuadPart;
            return true;
        }
        while (!folder.empty() && folder.back() == L'\\')
            folder.pop_back();
        const size_t cut = folder.find_last_of(L'\\');
        if (cut == std::wstring::npos || cut == 0)
            return false;
        folder.resize(cut + 1);
    }
}

} // namespace

bool ArchiveFitsDestination(unzFile zip, const std::wstring& destination)
{
    unsigned long long free = 0;
    if (!FreeSpaceBelow(destination, free))
        return false;
    // The entries are counted as the reader counts them, by the number the
    // central directory states: minizip's walk never reports the end of a
    // directory of exactly 65,535 entries, which it takes for the 16-bit
    // field's overflow mark.
    unz_global_info64 global;
    if (unzGetGlobalInfo64(zip, &global) != UNZ_OK)
        return false;
    unsigned long long declared = 0;
    if (global.number_entry > 0 && unzGoToFirstFile(zip) != UNZ_OK)
        return false;
    for (ZPOS64_T i = 0; i < global.number_entry; ++i) {
        if (i > 0 && unzGoToNextFile(zip) != UNZ_OK)
            return false;
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            return false;
        if (info.uncompressed_size > free - declared)
            return false;
        declared += info.uncompressed_size;
    }
    const int first = unzGoToFirstFile(zip);
    return first == UNZ_OK || first == UNZ_END_OF_LIST_OF_FILE;
}
