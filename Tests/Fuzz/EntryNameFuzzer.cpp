// Archive entry names: any stored name and destination. A name that the
// check accepts, joined to the destination and resolved as Windows resolves
// paths, must stay inside the destination; a UTF-8 name that the decoding
// accepts must come back as the same bytes when written as UTF-8 again.
//
// Input: one byte whose low six bits give the destination's length (up to
// 63) and whose bit 6 flags the name as UTF-8, the destination (Latin-1),
// then the stored name bytes. As in the extraction, a name of 256 bytes or
// more arrives cut and is skipped.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "EntryName.h"
#include "StoredName.h"
#include "WindowsPathModel.h"

namespace
{
    const size_t kNameBufferSize = 256;
    const uint8_t kUtf8Flag = 0x40;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return 0;
    const size_t nDestination = pData[0] % 64;
    const bool bUtf8 = (pData[0] & kUtf8Flag) != 0;
    if (nSize < 1 + nDestination)
        return 0;
    std::wstring destination;
    for (size_t i = 0; i < nDestination; ++i)
        destination += static_cast<wchar_t>(pData[1 + i]);
    const char* pStored = reinterpret_cast<const char*>(pData + 1 + nDestination);
    const size_t nStored = nSize - 1 - nDestination;
    if (nStored >= kNameBufferSize)
        return 0;

    std::wstring name;
    if (!StoredEntryName(pStored, nStored, bUtf8, name))
        return 0;
    if (bUtf8 && EncodeUtf8(name) != std::string(pStored, nStored))
    {
        std::fprintf(stderr, "decoded UTF-8 name \"%s\" does not give back its bytes\n",
                     Printable(name).c_str());
        std::abort();
    }
    if (IsSafeEntryName(name) && !StaysInsideDestination(destination, name))
    {
        std::fprintf(stderr, "accepted name leaves the destination: \"%s\" below \"%s\"\n",
                     Printable(name).c_str(), Printable(destination).c_str());
        std::abort();
    }
    return 0;
}
