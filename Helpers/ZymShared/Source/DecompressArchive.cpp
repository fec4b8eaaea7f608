#include "ZymShared.h"

#include <string.h>

#include <memory>
#include <optional>
#include <string>
#include <type_traits>

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

// Everything that can fail once the archive path is known: the archive is
// closed on every way out, an exception included.
bool Extract(const char* archive, const char* destination)
{
    // An empty destination would put every file at the root of the drive.
    const std::wstring target =
        destination != nullptr ? WidenAnsi(destination, strlen(destination)) : std::wstring();
    if (destination != nullptr && destination[0] != '\0' && target.empty())
        return false;

    const std::unique_ptr<std::remove_pointer_t<unzFile>, int (*)(unzFile)> zip(unzOpen(archive), &unzClose);
    if (!zip)
        return false;
    // Nothing is written unless all the archive declares fits.
    if (!ArchiveFitsDestination(zip.get(), target))
        return false;
    BlockQueue queue(kBlockCount, kBlockSize);
    ArchiveReader reader(zip.get(), target, queue);
    if (!reader.Start())
        return false;
    const bool written = WriteEntries(queue);
    return reader.Finish() && written;
}

} // namespace

bool DecompressArchive(const char* archive, const char* destination)
{
    if (archive == nullptr)
        return false;
    // Nothing may leave a C export: the caller may not even be C++. A failure
    // of any kind, memory included, is the false result.
    try {
        return Extract(archive, destination);
    } catch (...) {
        return false;
    }
}
