// Server bytes: any byte stream arriving on the component's socket, through
// the read step, line assembly, routing and every handler, with a host that
// may act on the component from its sink. Checked: no queued line over 510
// characters or holding CR or LF, the read buffer bounded, and state kept
// only for the channels in the table (besides the sanitizers' own checks).
//
// Input: a flags byte (bit 0: the host answers errors with nonzero, so the
// handlers raise; bit 1: the host reacts to what it hears; bit 2: a host of
// the extended interface, which requests capabilities and hears details;
// bits 3 and 4: its SASL login, none, PLAIN, SCRAM-SHA-256 or a required
// PLAIN; bit 5: it asks for echo-message), a byte giving the largest piece
// one read returns (1 to 128), then the server's bytes.

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
    if ((pData[0] & 4) == 0)
        chat.SetEventSink(&sink);
    else
    {
        chat.SetExtendedEventSink(&sink);
        // No TLS here: the login may go over the plain stream.
        switch ((pData[0] >> 3) & 3)
        {
        case 1:
            chat.SetSaslLogin("PLAIN", "me", "secret", SASL_LOGIN_ALLOW_PLAINTEXT);
            break;
        case 2:
            chat.SetSaslLogin("SCRAM-SHA-256", "me", "secret", SASL_LOGIN_ALLOW_PLAINTEXT);
            break;
        case 3:
            chat.SetSaslLogin("PLAIN", "me", "secret", SASL_LOGIN_ALLOW_PLAINTEXT | SASL_LOGIN_REQUIRED);
            break;
        }
        if ((pData[0] & 32) != 0)
            chat.RequestCapability("echo-message");
    }
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
