#include "ZymShared.h"

#include "ArchiveSpace.h"
#include "EntryName.h"
#include "EntryOutput.h"

#include <string.h>

#include <memory>
#include <new>
#include <string>

#include "unzip.h"

namespace {

const size_t kNameBufferSize = 256;
// Large blocks keep the number of reads and writes per entry small; the
// buffer is made once per archive.
const unsigned kCopyBufferSize = 256 * 1024;
// General-purpose flag bit 11: the stored name is UTF-8.
const unsigned long kUtf8NameFlag = 0x800;

// What became of one entry: the minizip result, which ends the extraction
// when it is not UNZ_OK, and whether the entry was taken over whole.
struct EntryOutcome {
    int result;
    bool complete;
};

std::wstring Widen(const char* text, size_t length)
{
    if (length == 0)
        return std::wstring();
    const int size = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), &wide[0], size);
    return wide;
}

// The name as Windows will create it: UTF-8 when the archive says so, else
// the ANSI code page, which is what the ANSI file functions used.
bool EntryName(const char* stored, size_t length, unsigned long flags, std::wstring& name)
{
    if (flags & kUtf8NameFlag)
        return DecodeUtf8Name(stored, length, name);
    name = Widen(stored, length);
    return !name.empty();
}

bool IsFolderEntry(const std::wstring& name)
{
    return name.back() == L'/' || name.back() == L'\\';
}

std::wstring JoinOutputPath(const std::wstring& destination, const std::wstring& name)
{
    if (destination.empty())
        return name;
    std::wstring path(destination);
    if (path.back() == L'\\')
        path.pop_back();
    return path + L"\\" + name;
}

int CopyEntryData(unzFile zip, EntryOutput& out, char* buffer, ZPOS64_T declared)
{
    ZPOS64_T copied = 0;
    for (;;) {
        const int count = unzReadCurrentFile(zip, buffer, kCopyBufferSize);
        if (count < 0)
            return count;
        if (count == 0)
            return copied == declared ? UNZ_OK : UNZ_BADZIPFILE;
        // Never more than the entry declares: the free space was judged on it.
        if (static_cast<ZPOS64_T>(count) > declared - copied)
            return UNZ_BADZIPFILE;
        if (!out.Write(buffer, static_cast<DWORD>(count)))
            return UNZ_ERRNO;
        copied += static_cast<ZPOS64_T>(count);
    }
}

EntryOutcome ExtractCurrentEntry(unzFile zip, const std::wstring& destination, char* buffer)
{
    unz_file_info64 info;
    char stored[kNameBufferSize];
    int result = unzGetCurrentFileInfo64(zip, &info, stored, sizeof(stored), nullptr, 0, nullptr, 0);
    if (result != UNZ_OK)
        return {result, false};
    // A longer name arrives cut and unterminated.
    if (info.size_filename >= sizeof(stored))
        return {UNZ_OK, false};
    std::wstring name;
    if (!EntryName(stored, info.size_filename, info.flag, name) || !IsSafeEntryName(name))
        return {UNZ_OK, false};
    if (IsFolderEntry(name))
        return {UNZ_OK, true};

    result = unzOpenCurrentFile(zip);
    if (result != UNZ_OK) {
        unzCloseCurrentFile(zip);
        return {result, false};
    }
    // A path the system's classic limit does not hold would be created on
    // some systems and not on others; it is refused everywhere.
    const std::wstring path = JoinOutputPath(destination, name);
    if (path.size() >= MAX_PATH) {
        unzCloseCurrentFile(zip);
        return {UNZ_OK, false};
    }
    const bool hasFolderPart = !destination.empty() || name.find_first_of(L"\\/") != std::wstring::npos;
    EntryOutput out(path, hasFolderPart);
    if (!out.IsOpen())
        return {unzCloseCurrentFile(zip), false};

    result = CopyEntryData(zip, out, buffer, info.uncompressed_size);
    if (result == UNZ_OK)
        result = unzCloseCurrentFile(zip);
    else
        unzCloseCurrentFile(zip);
    if (result != UNZ_OK)
        return {result, false};
    return {UNZ_OK, out.Commit(info.dosDate)};
}

} // namespace

bool DecompressArchive(const char* archive, const char* destination)
{
    if (archive == nullptr)
        return false;
    // An empty destination would put every file at the root of the drive.
    const std::wstring target =
        destination != nullptr ? Widen(destination, strlen(destination)) : std::wstring();
    if (destination != nullptr && destination[0] != '\0' && target.empty())
        return false;

    unzFile zip = unzOpen(archive);
    if (zip == nullptr)
        return false;

    bool complete = true;
    try {
        std::unique_ptr<char[]> buffer(new char[kCopyBufferSize]);
        unz_global_info64 global;
        // Nothing is written unless all the archive declares fits.
        if (unzGetGlobalInfo64(zip, &global) != UNZ_OK || !ArchiveFitsDestination(zip, target)) {
            complete = false;
        } else {
            for (ZPOS64_T i = 0; i < global.number_entry; ++i) {
                const EntryOutcome outcome = ExtractCurrentEntry(zip, target, buffer.get());
                if (!outcome.complete || outcome.result != UNZ_OK)
                    complete = false;
                if (outcome.result != UNZ_OK || i + 1 == global.number_entry)
                    break;
                if (unzGoToNextFile(zip) != UNZ_OK) {
                    complete = false;
                    break;
                }
            }
        }
    } catch (const std::bad_alloc&) {
        complete = false;
    }
    unzClose(zip);
    return complete;
}
