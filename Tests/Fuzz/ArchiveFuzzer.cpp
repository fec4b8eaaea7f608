// Whole archives through minizip's unzip interface, walked the way the
// extraction walks them: every entry's stored name through the entry-name
// check, and every accepted file entry read to its end and compared with
// its stored size and checksum. An entry that the whole-entry inflater takes
// is read both ways. Checked: no sanitizer report, a name that the check
// accepts stays inside the destination, and an entry the whole-entry
// inflater accepts streams too, to the same bytes. The archive is written
// to a private scratch folder; nothing is extracted from it.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "EntryName.h"
#include "StoredName.h"
#include "WholeEntryInflater.h"
#include "WindowsPathModel.h"
#include "unzip.h"

namespace
{
    const size_t kNameBufferSize = 256;
    const unsigned kCopyBufferSize = 8192;
    // A small archive may inflate to far more; reading stops here, as a
    // bounded run must.
    const unsigned long kMaxBytesRead = 16ul << 20;
    const wchar_t kDestination[] = L"C:\\Program Files\\Product\\data";
    // General-purpose flag bit 11: the stored name is UTF-8.
    const unsigned long kUtf8NameFlag = 0x800;

    std::string g_ScratchFolder;

    void RemoveScratchFolder()
    {
        rmdir(g_ScratchFolder.c_str());
    }

    // The scratch folder is made once per process and removed at its end.
    const std::string& ArchivePath()
    {
        static std::string path;
        if (path.empty())
        {
            const char* pszTemp = std::getenv("TMPDIR");
            std::string pattern = std::string(pszTemp != nullptr ? pszTemp : "/tmp") + "/zymfuzz-XXXXXX";
            if (mkdtemp(&pattern[0]) == nullptr)
            {
                std::perror("mkdtemp");
                std::abort();
            }
            g_ScratchFolder = pattern;
            std::atexit(RemoveScratchFolder);
            path = g_ScratchFolder + "/archive.zip";
        }
        return path;
    }

    bool WriteArchive(const std::string& path, const uint8_t* pData, size_t nSize)
    {
        FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr)
            return false;
        const bool bWritten = std::fwrite(pData, 1, nSize, file) == nSize;
        return std::fclose(file) == 0 && bWritten;
    }

    bool EndsInSeparator(const std::wstring& name)
    {
        return name.back() == L'/' || name.back() == L'\\';
    }

    // Reads the current entry as the extraction streams it; UNZ_OK when it
    // came whole. Keeps what it read in streamed while that stays within the
    // whole-entry bound.
    int ReadEntry(unzFile zip, const unz_file_info64& info, char* pBuffer, std::string& streamed)
    {
        int nResult = unzOpenCurrentFile(zip);
        if (nResult != UNZ_OK)
        {
            unzCloseCurrentFile(zip);
            return nResult;
        }
        unsigned long nCopied = 0;
        for (;;)
        {
            const int nCount = unzReadCurrentFile(zip, pBuffer, kCopyBufferSize);
            if (nCount <= 0)
            {
                nResult = nCount;
                break;
            }
            nCopied += static_cast<unsigned long>(nCount);
            if (nCopied <= WholeEntryInflater::kMostBytes)
                streamed.append(pBuffer, static_cast<size_t>(nCount));
            if (nCopied > kMaxBytesRead)
            {
                nResult = UNZ_BADZIPFILE;
                break;
            }
        }
        if (nResult == UNZ_OK && nCopied != info.uncompressed_size)
            nResult = UNZ_BADZIPFILE;
        const int nClosed = unzCloseCurrentFile(zip);
        return nResult == UNZ_OK ? nClosed : nResult;
    }

    // The archive's bytes, as the extraction's archive file holds them.
    struct ArchiveBytes
    {
        const uint8_t* pData;
        size_t nSize;
    };

    // Reads the current entry as the extraction inflates it whole: its
    // compressed bytes taken from the archive where minizip says they begin,
    // not through minizip. UNZ_OK when it came whole.
    int ReadWholeEntry(unzFile zip, const ArchiveBytes& archive, const unz_file_info64& info,
                       std::vector<char>& inflated)
    {
        static WholeEntryInflater inflater;
        int nResult = unzOpenCurrentFile2(zip, nullptr, nullptr, 1);
        if (nResult == UNZ_OK)
        {
            const ZPOS64_T at = unzGetCurrentFileZStreamPos64(zip);
            inflated.resize(static_cast<size_t>(info.uncompressed_size));
            // Fewer bytes than declared: the archive ends inside the entry.
            if (at > archive.nSize || info.compressed_size > archive.nSize - at)
                nResult = UNZ_BADZIPFILE;
            else
                nResult = inflater.Inflate(reinterpret_cast<const char*>(archive.pData) + at, info,
                                           inflated.data());
        }
        const int nClosed = unzCloseCurrentFile(zip);
        return nResult == UNZ_OK ? nClosed : nResult;
    }

    // One entry; false when the walk stops here.
    bool VisitEntry(unzFile zip, const ArchiveBytes& archive, char* pName, char* pBuffer)
    {
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(zip, &info, pName, kNameBufferSize, nullptr, 0, nullptr, 0) !=
            UNZ_OK)
            return false;
        // A longer name arrives cut and unterminated; the extraction skips it.
        if (info.size_filename >= kNameBufferSize)
            return true;
        std::wstring name;
        if (!StoredEntryName(pName, info.size_filename, (info.flag & kUtf8NameFlag) != 0, name) ||
            !IsSafeEntryName(name))
            return true;
        if (!StaysInsideDestination(kDestination, name))
        {
            std::fprintf(stderr, "accepted entry name leaves the destination: \"%s\"\n",
                         Printable(name).c_str());
            std::abort();
        }
        if (EndsInSeparator(name))
            return true;
        std::string streamed;
        const int nStreamed = ReadEntry(zip, info, pBuffer, streamed);
        if (WholeEntryInflater::Takes(info))
        {
            // The streaming inflate stops at the declared size and judges
            // the checksum of what it read, so it may take an entry whose
            // stream goes on, which the whole-entry inflater refuses; never
            // the other way round. One exception: the whole-entry inflater
            // reads the reserved length and distance codes as their
            // neighbours, where zlib calls the stream broken. What it then
            // accepts still inflated to the declared size and checksum.
            std::vector<char> inflated;
            if (ReadWholeEntry(zip, archive, info, inflated) == UNZ_OK && nStreamed != Z_DATA_ERROR &&
                (nStreamed != UNZ_OK || streamed.size() != inflated.size() ||
                 streamed.compare(0, streamed.size(), inflated.data(), inflated.size()) != 0))
            {
                std::fprintf(stderr, "whole-entry inflate took an entry the stream %s\n",
                             nStreamed != UNZ_OK ? "refused" : "read differently");
                std::abort();
            }
        }
        return nStreamed == UNZ_OK;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string& path = ArchivePath();
    if (!WriteArchive(path, pData, nSize))
        return 0;
    unzFile zip = unzOpen(path.c_str());
    if (zip == nullptr)
        return 0;

    // Each buffer in its own allocation, so an overrun is seen.
    std::unique_ptr<char[]> name(new char[kNameBufferSize]);
    std::unique_ptr<char[]> buffer(new char[kCopyBufferSize]);
    unz_global_info global;
    if (unzGetGlobalInfo(zip, &global) == UNZ_OK)
    {
        for (unsigned long i = 0; i < global.number_entry; ++i)
        {
            if (!VisitEntry(zip, ArchiveBytes{pData, nSize}, name.get(), buffer.get()) || i + 1 == global.number_entry)
                break;
            if (unzGoToNextFile(zip) != UNZ_OK)
                break;
        }
    }
    unzClose(zip);
    unlink(path.c_str());
    return 0;
}
