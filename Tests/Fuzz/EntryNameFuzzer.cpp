// Archive entry names: any stored name and destination. A name that the
// check accepts, joined to the destination and resolved as Windows resolves
// paths, must stay inside the destination.
//
// Input: one byte giving the destination's length (up to 63), the
// destination, then the stored name bytes, which reach the check the way
// minizip hands them over: copied into the 256-byte name buffer and
// terminated only when they fit.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "EntryName.h"
#include "WindowsPathModel.h"

namespace
{
    const size_t kNameBufferSize = 256;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return 0;
    const size_t nDestination = pData[0] % 64;
    if (nSize < 1 + nDestination)
        return 0;
    const std::string destination(reinterpret_cast<const char*>(pData + 1), nDestination);
    const uint8_t* pStored = pData + 1 + nDestination;
    const size_t nStored = nSize - 1 - nDestination;

    // The buffer lies in its own allocation, so a read past its end is seen.
    char* pName = static_cast<char*>(std::malloc(kNameBufferSize));
    const size_t nCopy = nStored < kNameBufferSize ? nStored : kNameBufferSize;
    std::memcpy(pName, pStored, nCopy);
    if (nStored < kNameBufferSize)
        pName[nStored] = '\0';

    if (IsSafeEntryName(pName, nStored, kNameBufferSize) &&
        !StaysInsideDestination(destination, pName))
    {
        std::fprintf(stderr, "accepted name leaves the destination: \"%s\" below \"%s\"\n", pName,
                     destination.c_str());
        std::abort();
    }
    std::free(pName);
    return 0;
}
