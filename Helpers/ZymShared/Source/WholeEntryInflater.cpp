#include "WholeEntryInflater.h"

#include <new>

#include "libdeflate.h"

namespace {

// General-purpose flag bit 0: the entry is encrypted, which this extraction
// does not read; the streaming inflate refuses it on its checksum.
const unsigned long kEncryptedFlag = 0x1;

} // namespace

WholeEntryInflater::WholeEntryInflater()
    : m_pDecompressor(nullptr)
{
    m_pDecompressor = libdeflate_alloc_decompressor();
    if (m_pDecompressor == nullptr)
        throw std::bad_alloc();
}

WholeEntryInflater::~WholeEntryInflater()
{
    libdeflate_free_decompressor(m_pDecompressor);
}

bool WholeEntryInflater::Takes(const unz_file_info64& info)
{
    // An entry declaring no content inflates nothing on either way; the
    // streaming one keeps it, so such entries are judged as before.
    return info.compression_method == Z_DEFLATED && (info.flag & kEncryptedFlag) == 0 &&
           info.uncompressed_size > 0 && info.uncompressed_size <= kMostBytes &&
           info.compressed_size <= kMostBytes;
}

int WholeEntryInflater::Inflate(const char* compressed, const unz_file_info64& info, char* out)
{
    if (!Takes(info))
        return UNZ_PARAMERROR;
    const size_t declared = static_cast<size_t>(info.uncompressed_size);
    size_t inflated = 0;
    const libdeflate_result result = libdeflate_deflate_decompress(
        m_pDecompressor, compressed, static_cast<size_t>(info.compressed_size), out, declared, &inflated);
    // A stream holding more than the declared size runs out of space, one
    // holding less ends short: both are the size mismatch.
    if (result == LIBDEFLATE_INSUFFICIENT_SPACE || (result == LIBDEFLATE_SUCCESS && inflated != declared))
        return UNZ_BADZIPFILE;
    if (result != LIBDEFLATE_SUCCESS)
        return Z_DATA_ERROR;
    if (libdeflate_crc32(0, out, declared) != info.crc)
        return UNZ_CRCERROR;
    return UNZ_OK;
}
