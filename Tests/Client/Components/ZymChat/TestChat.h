#ifndef ZYM_TESTS_TESTCHAT_H
#define ZYM_TESTS_TESTCHAT_H

#include "IrcMessage.h"
#include "ZymChat.h"

// The component object with the internals its tests look at made reachable.
class TestChat : public ZymChat
{
public:
    using ZymChat::m_pLogFile;
    using ZymChat::ReadChunk;
    using ZymChat::SendQueuedLine;
    using ZymChat::sendTxt;
    using ZymChat::TakeNextLine;

    // The answer to one PING line, parsed as the router parses it.
    int SendPong(const char* pszPingLine)
    {
        IrcMessage ping;
        ping.Parse(pszPingLine);
        return ZymChat::SendPong(ping);
    }

    // True when the background thread has ended (or never ran) within the
    // time.
    bool ThreadEnded(int nTimeoutMs) { return WaitForExit(nTimeoutMs) == 0; }
};

#endif
