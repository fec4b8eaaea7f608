#include "ZymShared.h"

#include <string.h>

#include <new>
#include <optional>
#include <string>

#include "AnsiText.h"
#include "ArchiveReader.h"
#include "ArchiveSpace.h"
#include "BlockQueue.h"
#include "EntryOutput.h"

#include "unzip.h"

namespace {

// Large blocks keep the number of reads and writes per entry small; a few
// of them let the reading thread inflate the next entries while this one
// waits on the file system.
const size_t kBlockSize = 256 * 1024;
const size_t kBlockCount = 8;

// Writes what the reading thread hands on, entry after entry; true when each
// entry it named was written whole. A file that cannot be written ends the
// extraction: what failed it (a full volume, a lost drive) would fail the
// rest as well. So does an entry that could not be read whole while its
// file was being written; one whose file could not be created is skipped,
// whatever its data held.
bool WriteEntries(BlockQueue& queue)
{
    bool complete = true;
    std::optional<EntryOutput> out;
    unsigned long dosDate = 0;
    while (InflatedBlock* block = queue.NextToWrite()) {
        if (block->begins) {
            out.emplace(block->path, block->makeFolders);
            dosDate = block->dosDate;
            if (!out->IsOpen())
                complete = false;
        }
        if (out && out->IsOpen() && block->size > 0 &&
            !out->Write(block->data.get(), static_cast<DWORD>(block->size))) {
            queue.Cancel();
            return false;
        }
        if (block->ends) {
            const bool opened = out && out->IsOpen();
            if (opened && block->result != UNZ_OK) {
                out.reset();
                queue.Cancel();
                return false;
            }
            if (!opened || !out->Commit(dosDate))
                complete = false;
            out.reset();
        }
        queue.Written();
    }
    return complete;
}

} // namespace

bool DecompressArchive(const char* archive, const char* destination)
{
    if (archive == nullptr)
        return false;
    // An empty destination would put every file at the root of the drive.
    const std::wstring target =
        destination != nullptr ? WidenAnsi(destination, strlen(destination)) : std::wstring();
    if (destination != nullptr && destination[0] != '\0' && target.empty())
        return false;

    unzFile zip = unzOpen(archive);
    if (zip == nullptr)
        return false;

    bool complete = false;
    try {
        // Nothing is written unless all the archive declares fits.
        if (ArchiveFitsDestination(zip, target)) {
            BlockQueue queue(kBlockCount, kBlockSize);
            ArchiveReader reader(zip, target, queue);
            if (reader.Start()) {
                const bool written = WriteEntries(queue);
                complete = reader.Finish() && written;
            }
        }
    } catch (const std::bad_alloc&) {
        complete = false;
    }
    unzClose(zip);
    return complete;
}
