// Server bytes: any byte stream arriving on the component's socket, through
// the read step, line assembly, routing and every handler, with a host that
// may act on the component from its sink. Checked: no queued line over 510
// characters or holding CR or LF, the read buffer bounded, and state kept
// only for the channels in the table (besides the sanitizers' own checks).
//
// Input: a flags byte (bit 0: the host answers errors with nonzero, so the
// handlers raise; bit 1: the host reacts to what it hears), a byte giving
// the largest piece one read returns (1 to 128), then the server's bytes.

#include <cstddef>
#include <cstdint>

#include "FuzzChat.h"
#include "LineAssembler.h"
#include "ScriptedSocket.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 2)
        return 0;
    const int nErrorAnswer = (pData[0] & 1) != 0 ? 1 : 0;
    const bool bReact = (pData[0] & 2) != 0;
    const int nMaxPiece = pData[1] % 128 + 1;

    ReactingSink sink;
    FuzzChat chat;
    sink.Attach(&chat, nErrorAnswer, bReact);
    chat.SetEventSink(&sink);
    chat.SetNickname("me");
    chat.JoinChannel("#lobby", 0);
    chat.JoinChannel("#b", 0);

    ScriptedSocket socket(reinterpret_cast<const char*>(pData + 2), nSize - 2, nMaxPiece);
    LineAssembler lines;
    chat.SendQueued(socket);
    chat.Feed(socket, lines);
    chat.CheckState();
    return 0;
}
