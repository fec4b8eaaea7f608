#ifndef ZYM_TESTS_TESTCHAT_H
#define ZYM_TESTS_TESTCHAT_H

#include "ZymChat.h"

// The component object with the internals its tests look at made reachable.
class TestChat : public ZymChat
{
public:
    using ZymChat::m_bListening;
    using ZymChat::m_bWelcomed;
    using ZymChat::m_Nickname;
    using ZymChat::m_pCommandQueue;
    using ZymChat::m_pLogFile;
    using ZymChat::ReadChunk;
    using ZymChat::SendQueuedLine;
    using ZymChat::sendTxt;
    using ZymChat::TakeNextLine;
    using ZymChat::SendPong;

    // Members kept, read under the lock the background thread takes.
    size_t MemberTotal()
    {
        m_TableLock.Lock();
        size_t nTotal = m_Members.Total();
        m_TableLock.Unlock();
        return nTotal;
    }

    // True when the background thread has ended (or never ran) within the
    // time.
    bool ThreadEnded(int nTimeoutMs) { return WaitForExit(nTimeoutMs) == 0; }
};

#endif
