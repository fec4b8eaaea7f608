#include "ArchiveReader.h"

#include <process.h>
#include <string.h>

#include "AnsiText.h"
#include "ArchiveFile.h"
#include "BlockQueue.h"
#include "EntryName.h"
#include "EntryRouter.h"
#include "LongPath.h"

namespace {

const size_t kNameBufferSize = 256;
// General-purpose flag bit 11: the stored name is UTF-8.
const unsigned long kUtf8NameFlag = 0x800;
// Not a minizip code: the writer gave up, so reading ends.
const int kWriterStopped = -1000;

// The name as Windows will create it: UTF-8 when the archive says so, else
// the ANSI code page, which is what the ANSI file functions used.
bool EntryName(const char* stored, size_t length, unsigned long flags, std::wstring& name)
{
    if (flags & kUtf8NameFlag)
        return DecodeUtf8Name(stored, length, name);
    name = WidenAnsi(stored, length);
    return !name.empty();
}

bool IsFolderEntry(const std::wstring& name)
{
    return name.back() == L'/' || name.back() == L'\\';
}

// The stored "/" separators become backslashes here, as resolving the path
// would make them: a destination already in the \\?\ form is not resolved
// again, and in that form only a backslash separates.
std::wstring JoinOutputPath(const std::wstring& destination, const std::wstring& name)
{
    std::wstring path(destination);
    if (!path.empty() && path.back() == L'\\')
        path.pop_back();
    if (!path.empty())
        path += L'\\';
    for (wchar_t c : name)
        path += c == L'/' ? L'\\' : c;
    return path;
}

} // namespace

ArchiveReader::ArchiveReader(unzFile zip, ArchiveFile& file, const std::wstring& destination, EntryRouter& router)
    : m_Zip(zip), m_File(file), m_Destination(destination), m_Router(router),
      m_Compressed(new char[WholeEntryInflater::kMostBytes]), m_Whole(new char[WholeEntryInflater::kMostBytes]),
      m_hThread(nullptr), m_bAllTaken(true)
{
}

ArchiveReader::~ArchiveReader()
{
    if (m_hThread == nullptr)
        return;
    m_Router.Cancel();
    WaitForSingleObject(m_hThread, INFINITE);
    CloseHandle(m_hThread);
}

bool ArchiveReader::Start()
{
    // The C runtime's own thread start: the thread reads through its file
    // functions.
    m_hThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ArchiveReader::Run, this, 0, nullptr));
    return m_hThread != nullptr;
}

bool ArchiveReader::Finish()
{
    if (m_hThread == nullptr)
        return false;
    WaitForSingleObject(m_hThread, INFINITE);
    CloseHandle(m_hThread);
    m_hThread = nullptr;
    return m_bAllTaken;
}

unsigned __stdcall ArchiveReader::Run(void* self)
{
    static_cast<ArchiveReader*>(self)->ReadAll();
    return 0;
}

void ArchiveReader::ReadAll()
{
    try {
        unz_global_info64 global;
        if (unzGetGlobalInfo64(m_Zip, &global) != UNZ_OK)
            m_bAllTaken = false;
        else
            for (ZPOS64_T i = 0; i < global.number_entry; ++i) {
                int result = UNZ_OK;
                if (!ReadEntry(result))
                    m_bAllTaken = false;
                if (result != UNZ_OK || i + 1 == global.number_entry)
                    break;
                if (unzGoToNextFile(m_Zip) != UNZ_OK) {
                    m_bAllTaken = false;
                    break;
                }
            }
    } catch (...) {
        // Nothing may end the thread but its own return: a failure of any
        // kind, memory included, is an archive not taken whole.
        m_bAllTaken = false;
    }
    m_Router.Close();
}

bool ArchiveReader::ReadEntry(int& result)
{
    unz_file_info64 info;
    char stored[kNameBufferSize];
    result = unzGetCurrentFileInfo64(m_Zip, &info, stored, sizeof(stored), nullptr, 0, nullptr, 0);
    if (result != UNZ_OK)
        return false;
    // A longer name arrives cut and unterminated.
    if (info.size_filename >= sizeof(stored))
        return false;
    std::wstring name;
    if (!EntryName(stored, info.size_filename, info.flag, name) || !IsSafeEntryName(name))
        return false;
    if (IsFolderEntry(name))
        return true;
    // In the \\?\ form, so that a path beyond the classic 260 characters is
    // written like any other; resolved first, as the system would have
    // resolved the plain path.
    const std::wstring path = ExtendedPath(JoinOutputPath(m_Destination, name));
    if (path.empty())
        return false;

    // Raw, so that minizip hands over the compressed bytes as they are.
    const bool whole = WholeEntryInflater::Takes(info);
    result = whole ? unzOpenCurrentFile2(m_Zip, nullptr, nullptr, 1) : unzOpenCurrentFile(m_Zip);
    if (result != UNZ_OK) {
        unzCloseCurrentFile(m_Zip);
        return false;
    }
    EntryLedger::Entry entry = 0;
    BlockQueue* queue = m_Router.Route(path, entry);
    InflatedBlock* block = queue != nullptr ? queue->NextToFill() : nullptr;
    if (block == nullptr) {
        unzCloseCurrentFile(m_Zip);
        result = kWriterStopped;
        return false;
    }
    block->begins = true;
    block->entry = entry;
    block->path = path;
    block->makeFolders = !m_Destination.empty() || name.find_first_of(L"\\/") != std::wstring::npos;
    block->dosDate = info.dosDate;
    // Whether a spoilt entry ends the extraction is the writer's call: only
    // it knows whether the entry's file was being written or could not be
    // created, and an entry it skips is skipped whatever its data holds.
    const int inflated =
        whole ? InflateWhole(*queue, block, info) : InflateEntry(*queue, block, info.uncompressed_size);
    if (inflated == kWriterStopped)
        result = kWriterStopped;
    return inflated == UNZ_OK;
}

int ArchiveReader::InflateEntry(BlockQueue& queue, InflatedBlock* block, unsigned long long declared)
{
    const size_t capacity = queue.BlockSize();
    unsigned long long copied = 0;
    int result = UNZ_OK;
    for (;;) {
        if (block->size == capacity) {
            queue.Filled();
            block = queue.NextToFill();
            if (block == nullptr) {
                unzCloseCurrentFile(m_Zip);
                return kWriterStopped;
            }
        }
        const int count = unzReadCurrentFile(m_Zip, block->data.get() + block->size,
                                             static_cast<unsigned>(capacity - block->size));
        if (count < 0) {
            result = count;
            break;
        }
        if (count == 0) {
            result = copied == declared ? UNZ_OK : UNZ_BADZIPFILE;
            break;
        }
        // Never more than the entry declares: the free space was judged on it.
        if (static_cast<unsigned long long>(count) > declared - copied) {
            result = UNZ_BADZIPFILE;
            break;
        }
        block->size += static_cast<size_t>(count);
        copied += static_cast<unsigned long long>(count);
    }
    const int closed = unzCloseCurrentFile(m_Zip);
    if (result == UNZ_OK)
        result = closed;
    block->ends = true;
    block->result = result;
    queue.Filled();
    return result;
}

int ArchiveReader::InflateWhole(BlockQueue& queue, InflatedBlock* block, const unz_file_info64& info)
{
    const size_t capacity = queue.BlockSize();
    const size_t size = static_cast<size_t>(info.uncompressed_size);
    const bool fitsBlock = size <= capacity;
    char* const inflated = fitsBlock ? block->data.get() : m_Whole.get();
    const char* compressed = m_File.Bytes(unzGetCurrentFileZStreamPos64(m_Zip),
                                          static_cast<size_t>(info.compressed_size), m_Compressed.get());
    // Fewer bytes than declared: the archive ends inside the entry's data.
    int result = compressed == nullptr ? (m_File.Failed() ? UNZ_ERRNO : UNZ_BADZIPFILE)
                                       : m_Inflater.Inflate(compressed, info, inflated);
    const int closed = unzCloseCurrentFile(m_Zip);
    if (result == UNZ_OK)
        result = closed;
    // A refused entry hands on nothing: its writer drops the file whatever
    // came before the result.
    if (result == UNZ_OK && fitsBlock) {
        block->size = size;
    } else if (result == UNZ_OK) {
        for (size_t copied = 0; copied < size;) {
            if (block->size == capacity) {
                queue.Filled();
                block = queue.NextToFill();
                if (block == nullptr)
                    return kWriterStopped;
            }
            const size_t count = size - copied < capacity - block->size ? size - copied : capacity - block->size;
            memcpy(block->data.get() + block->size, inflated + copied, count);
            block->size += count;
            copied += count;
        }
    }
    block->ends = true;
    block->result = result;
    queue.Filled();
    return result;
}
