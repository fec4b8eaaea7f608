#include "ZymShared.h"

#include "EntryName.h"
#include "EntryTime.h"
#include "FolderPath.h"

#include <io.h>
#include <stdio.h>
#include <string.h>

#include <memory>
#include <new>
#include <string>

#include "unzip.h"

namespace {

const size_t kNameBufferSize = 256;
// Each read and write is a call into Wine's server or the system: a few large
// ones cost less than many small ones.
const unsigned kCopyBufferSize = 256 * 1024;

// What became of one entry: the minizip result, which ends the extraction
// when it is not UNZ_OK, and whether the entry was taken over whole.
struct EntryOutcome {
    int result;
    bool complete;
};

const char* LastComponent(const char* name)
{
    const char* last = name;
    for (const char* p = name; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\')
            last = p + 1;
    }
    return last;
}

std::string JoinOutputPath(const char* destination, const char* name)
{
    if (destination == nullptr)
        return name;
    std::string path(destination);
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    path += '\\';
    path += name;
    return path;
}

FILE* OpenOutput(const std::string& path, bool hasFolderPart)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr && hasFolderPart) {
        const size_t cut = path.find_last_of("\\/");
        if (cut != std::string::npos) {
            MakeFolderPath(path.substr(0, cut).c_str());
            file = fopen(path.c_str(), "wb");
        }
    }
    // The copy hands over blocks of kCopyBufferSize: a stream buffer would
    // only copy them once more.
    if (file != nullptr)
        setvbuf(file, nullptr, _IONBF, 0);
    return file;
}

int CopyEntryData(unzFile zip, FILE* out, char* buffer, uLong& copied)
{
    for (;;) {
        const int count = unzReadCurrentFile(zip, buffer, kCopyBufferSize);
        if (count < 0)
            return count;
        if (count == 0)
            return UNZ_OK;
        if (fwrite(buffer, 1, static_cast<size_t>(count), out) != static_cast<size_t>(count))
            return UNZ_ERRNO;
        copied += static_cast<uLong>(count);
    }
}

EntryOutcome ExtractCurrentEntry(unzFile zip, const char* destination)
{
    unz_file_info info;
    char name[kNameBufferSize];
    int result = unzGetCurrentFileInfo(zip, &info, name, sizeof(name), nullptr, 0, nullptr, 0);
    if (result != UNZ_OK)
        return {result, false};

    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCopyBufferSize]);
    if (!buffer)
        return {UNZ_INTERNALERROR, false};

    if (!IsSafeEntryName(name, info.size_filename, sizeof(name)))
        return {UNZ_OK, false};

    const char* last = LastComponent(name);
    if (*last == '\0')
        return {UNZ_OK, true};

    const std::string path = JoinOutputPath(destination, name);
    result = unzOpenCurrentFile(zip);
    if (result != UNZ_OK) {
        unzCloseCurrentFile(zip);
        return {result, false};
    }

    FILE* out = OpenOutput(path, destination != nullptr || last != name);
    if (out == nullptr)
        return {unzCloseCurrentFile(zip), false};

    uLong copied = 0;
    result = CopyEntryData(zip, out, buffer.get(), copied);
    // The times are set through the handle already open rather than by
    // opening the file a second time; a file that fails its checks below is
    // removed whatever its times.
    if (result == UNZ_OK && fflush(out) == 0)
        SetEntryTime(reinterpret_cast<void*>(_get_osfhandle(_fileno(out))), info.dosDate);
    if (fclose(out) != 0 && result == UNZ_OK)
        result = UNZ_ERRNO;
    // A deflate stream that ends before the stored size is not checked
    // against the checksum, so the count is compared as well.
    if (result == UNZ_OK && copied != info.uncompressed_size)
        result = UNZ_BADZIPFILE;
    if (result == UNZ_OK)
        result = unzCloseCurrentFile(zip);
    else
        unzCloseCurrentFile(zip);

    if (result != UNZ_OK) {
        remove(path.c_str());
        return {result, false};
    }
    return {UNZ_OK, true};
}

} // namespace

bool DecompressArchive(const char* archive, const char* destination)
{
    if (archive == nullptr)
        return false;
    // An empty destination would put every file at the root of the drive.
    if (destination != nullptr && destination[0] == '\0')
        destination = nullptr;

    unzFile zip = unzOpen(archive);
    if (zip == nullptr)
        return false;

    bool complete = true;
    try {
        unz_global_info global;
        if (unzGetGlobalInfo(zip, &global) != UNZ_OK) {
            complete = false;
        } else {
            for (uLong i = 0; i < global.number_entry; ++i) {
                const EntryOutcome outcome = ExtractCurrentEntry(zip, destination);
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
