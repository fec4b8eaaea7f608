#ifndef WHOLEENTRYINFLATER_H
#define WHOLEENTRYINFLATER_H

#include <stddef.h>

#include "unzip.h"

struct libdeflate_decompressor;

// Inflates a deflated entry in one call, its compressed bytes and its
// content whole in memory: less work for the reading thread than zlib's
// streaming inflate, on a machine where it shares the processors with the
// writers, so every entry that fits the bound goes this way. What the entry
// declares (sizes, checksum) is the archive's word and is judged here: the
// data must inflate to exactly the declared size and checksum, else the
// entry is refused as the streaming inflate refuses it. One difference
// stays: libdeflate reads the reserved length and distance codes as their
// neighbours where zlib calls the stream broken; an entry using them is
// taken here only when its data still matches the size and checksum.
class WholeEntryInflater {
public:
    // The most compressed and the most inflated bytes of an entry taken
    // this way. The memory held for them stays the same whatever an
    // archive declares; most files of an install archive are smaller, and
    // a larger one streams, where one call saves little against writing it.
    static const size_t kMostBytes = 4u << 20;

    // Throws std::bad_alloc when the memory cannot be had.
    WholeEntryInflater();
    ~WholeEntryInflater();
    WholeEntryInflater(const WholeEntryInflater&) = delete;
    WholeEntryInflater& operator=(const WholeEntryInflater&) = delete;

    // Whether an entry with this information goes this way: deflated, not
    // encrypted, not empty and within the bound.
    static bool Takes(const unz_file_info64& info);
    // Inflates the entry's info.compressed_size compressed bytes into out,
    // which holds info.uncompressed_size bytes. UNZ_OK when they inflated
    // to exactly the declared size and checksum, else a minizip error code.
    int Inflate(const char* compressed, const unz_file_info64& info, char* out);

private:
    libdeflate_decompressor* m_pDecompressor;
};

#endif
