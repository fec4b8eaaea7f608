#include <gtest/gtest.h>

#include <string>

#include "EventRecorder.h"
#include "SKException.h"
#include "SocketBase.h"
#include "SocketResults.h"
#include "TestChat.h"

namespace
{
    // A connected socket whose sends take a few bytes at a time and can fail.
    class TrickleSocket final : public SocketBase
    {
    public:
        explicit TrickleSocket(int nFailOnCall = -1) : m_nFailOnCall(nFailOnCall) {}
        SocketResult Connect(const SocketAddress&, int) override { return ZymSocketOk; }
        SocketResult Disconnect() override { return ZymSocketOk; }
        SocketResult Receive(char*, int*) override { return ZymSocketOk; }
        StreamState GetConnectionState() const override { return m_State; }
        SocketResult BytesAvailable(int*) override { return ZymNothingToRead; }
        bool HoldsData() const override { return false; }
        SocketHandle GetHandle() const override { return 0; }
        SocketResult Send(const char* pData, int* pLength) override
        {
            if (++m_nCalls == m_nFailOnCall)
            {
                m_State = StreamClosed;
                return ZymSendFailed;
            }
            int nTake = std::min(*pLength, 5);
            m_Wire.append(pData, nTake);
            *pLength = nTake;
            return ZymSocketOk;
        }

        StreamState m_State = StreamOpen;
        int m_nFailOnCall;
        int m_nCalls = 0;
        std::string m_Wire;
    };
}

TEST(ZymChatSend, ALineTakenInShortSendsReachesTheWireWholeAndTheNextOneAfterIt)
{
    EventRecorder sink;
    TestChat chat;
    chat.SetEventSink(&sink);
    TrickleSocket socket;
    chat.SendQueuedLine(socket, ZymString("PRIVMSG #lobby :first line"));
    chat.SendQueuedLine(socket, ZymString("QUIT"));
    EXPECT_EQ("PRIVMSG #lobby :first line\r\nQUIT\r\n", socket.m_Wire);
    EXPECT_EQ(0u, sink.Count());
}

// A send that fails is reported; a nonzero answer raises. Whether it fails
// on the first piece or after part of the line went out makes no difference.
TEST(ZymChatSend, ASendFailureIsReportedAndANonzeroAnswerRaises)
{
    struct Case
    {
        int nFailOnCall;
        int nAnswer;
        bool bRaises;
    };
    const Case cases[] = {{2, 0, false}, {1, 0, false}, {1, 1, true}, {2, 1, true}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE("failing on call " + std::to_string(c.nFailOnCall) + ", answered " +
                     std::to_string(c.nAnswer));
        EventRecorder sink(c.nAnswer);
        TestChat chat;
        chat.SetEventSink(&sink);
        TrickleSocket failing(c.nFailOnCall);
        bool bRaised = false;
        try
        {
            chat.SendQueuedLine(failing, ZymString("NICK somebody"));
        }
        catch (SKException& e)
        {
            bRaised = true;
            EXPECT_STREQ("ChatNetworkingError", e.GetMessage());
        }
        EXPECT_EQ(c.bRaises, bRaised);
        auto events = sink.Events();
        ASSERT_EQ(1u, events.size());
        EXPECT_EQ(RecordedEvent::Error, events[0].kind);
        EXPECT_EQ(-1002, events[0].nCode);
        EXPECT_EQ("-1002 send error occured", events[0].text);
    }
}
