#include "ArchiveSpace.h"

#include <windows.h>

namespace {

// The nearest folder of the destination that exists already: the
// destination itself may be created by the extraction.
bool FreeSpaceBelow(const std::wstring& destination, unsigned long long& free)
{
    std::wstring folder = destination.empty() ? std::wstring(L".") : destination;
    for (;;) {
        ULARGE_INTEGER available;
        if (GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) {
            free = available.QuadPart;
            return true;
        }
        while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
            folder.pop_back();
        const size_t cut = folder.find_last_of(L"\\/");
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
    unsigned long long declared = 0;
    int result = unzGoToFirstFile(zip);
    while (result == UNZ_OK) {
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            return false;
        if (info.uncompressed_size > free - declared)
            return false;
        declared += info.uncompressed_size;
        result = unzGoToNextFile(zip);
    }
    if (result != UNZ_END_OF_LIST_OF_FILE)
        return false;
    const int first = unzGoToFirstFile(zip);
    return first == UNZ_OK || first == UNZ_END_OF_LIST_OF_FILE;
}
