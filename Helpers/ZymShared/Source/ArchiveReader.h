#ifndef ARCHIVEREADER_H
#define ARCHIVEREADER_H

#include <windows.h>

#include <memory>
#include <string>

#include "WholeEntryInflater.h"
#include "unzip.h"

class ArchiveFile;
class BlockQueue;
class EntryRouter;
struct InflatedBlock;

// Reads the entries of an open archive on a thread of its own: judges each
// name, inflates what it accepts and hands the data on through the router,
// entry after entry, while the writers write the files. The
// archive belongs to this thread from Start until the object is gone.
class ArchiveReader {
public:
    // The archive is open through file. Throws std::bad_alloc when the
    // memory for whole entries cannot be had.
    ArchiveReader(unzFile zip, ArchiveFile& file, const std::wstring& destination, EntryRouter& router);
    // Stops the extraction at the thread's next block and waits for it.
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    // False when the thread could not be started; nothing was read then.
    bool Start();
    // Waits for the thread. Then: whether every entry was taken, that is,
    // none refused, none unreadable and the whole archive read.
    bool Finish();

private:
    static unsigned __stdcall Run(void* self);
    void ReadAll();
    // Hands the current entry on; false when it was refused or could not be
    // read whole. A result other than UNZ_OK ends the reading: the entry's
    // information or data could not be reached, or the writer gave up.
    bool ReadEntry(int& result);
    // Inflates the open entry into blocks of the queue, the first of which
    // is given; the last one carries the result, which is also returned.
    int InflateEntry(BlockQueue& queue, InflatedBlock* block, unsigned long long declared);
    // The same for an entry the whole-entry inflater takes, opened raw: its
    // compressed bytes are taken from the file as they lie there, not
    // copied through minizip. An entry that fits the first block is
    // inflated into it, a larger one into a buffer of its own and copied
    // on.
    int InflateWhole(BlockQueue& queue, InflatedBlock* block, const unz_file_info64& info);

    unzFile m_Zip;
    ArchiveFile& m_File;
    const std::wstring m_Destination;
    EntryRouter& m_Router;
    WholeEntryInflater m_Inflater;
    const std::unique_ptr<char[]> m_Compressed;
    const std::unique_ptr<char[]> m_Whole;
    HANDLE m_hThread;
    bool m_bAllTaken;
};

#endif
