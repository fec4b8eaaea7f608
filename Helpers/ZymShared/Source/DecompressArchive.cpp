#include "ZymShared.h"

#include <string.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "AnsiText.h"
#include "ArchiveFile.h"
#include "ArchiveReader.h"
#include "ArchiveSpace.h"
#include "EntryRouter.h"
#include "EntryWriter.h"

#include "unzip.h"

namespace {

// Large blocks keep the number of reads and writes per entry small; a few
// of them per writer let the reading thread inflate the next entries while
// the writers wait on the file system.
const size_t kBlockSize = 256 * 1024;
const size_t kBlockCount = 8;
// Files are independent once their folders exist, and each one costs a few
// system calls that mostly wait: one writer per processor keeps them all
// busy, a few more would only contend.
const size_t kMostWriters = 4;

size_t WriterCount()
{
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const size_t processors = system.dwNumberOfProcessors;
    return processors < 1 ? 1 : processors > kMostWriters ? kMostWriters : processors;
}

// Everything that can fail once the archive path is known: the archive is
// closed and every thread stopped on every way out, an exception included.
bool Extract(const char* archive, const char* destination)
{
    // An empty destination would put every file at the root of the drive.
    const std::wstring target =
        destination != nullptr ? WidenAnsi(destination, strlen(destination)) : std::wstring();
    if (destination != nullptr && destination[0] != '\0' && target.empty())
        return false;

    // Opened by the wide name, as the destination: the ANSI name is
    // converted once, here, and nowhere behind our back.
    const std::wstring source = WidenAnsi(archive, strlen(archive));
    if (source.empty())
        return false;
    // Declared first: minizip closes the file through it.
    ArchiveFile file;
    zlib_filefunc64_def functions = file.Functions();
    const std::unique_ptr<std::remove_pointer_t<unzFile>, int (*)(unzFile)> zip(
        unzOpen2_64(source.c_str(), &functions), &unzClose);
    if (!zip)
        return false;
    // Nothing is written unless all the archive declares fits.
    if (!ArchiveFitsDestination(zip.get(), target))
        return false;
    EntryRouter router(WriterCount(), kBlockCount, kBlockSize);
    // The calling thread is the first writer; the others have threads of
    // their own, started before anything is read.
    std::vector<std::unique_ptr<EntryWriter>> writers;
    for (size_t i = 0; i < router.Writers(); ++i)
        writers.push_back(std::unique_ptr<EntryWriter>(new EntryWriter(router, i)));
    for (size_t i = 1; i < writers.size(); ++i)
        if (writers[i]->Start() != 0)
            return false;
    ArchiveReader reader(zip.get(), file, target, router);
    if (!reader.Start())
        return false;
    writers[0]->WriteAll();
    bool written = writers[0]->Complete();
    for (size_t i = 1; i < writers.size(); ++i)
        written = writers[i]->Finish() && written;
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
