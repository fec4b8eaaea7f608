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
        explicit TrickleSocket(int nFailOnCall = -1) : m_nFailOnCall(nFailOnCall)
        {
            m_nNetworkState = 1;
            m_nConnectionState = 1;
        }
        int Connect(const SocketAddress&, int) override { return ZymSocketOk; }
        int Disconnect() override { return ZymSocketOk; }
        int Receive(char*, int*) override { return ZymSocketOk; }
        int Send(const char* pData, int* pLength) override
        {
            if (++m_nCalls == m_nFailOnCall)
            {
                m_nConnectionState = 0;
                return ZymSendFailed;
            }
            int nTake = std::min(*pLength, 5);
            m_Wire.append(pData, nTake);
            *pLength = nTake;
            return ZymSocketOk;
        }

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

TEST(ZymChatSend, ASendFailureIsReportedAndANonzeroAnswerRaises)
{
    EventRecorder sink;
    TestChat chat;
    chat.SetEventSink(&sink);
    TrickleSocket failing(2);
    chat.SendQueuedLine(failing, ZymString("NICK somebody"));
    auto events = sink.Events();
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(RecordedEvent::Error, events[0].kind);
    EXPECT_EQ(-1002, events[0].nCode);
    EXPECT_EQ("-1002 send error occured", events[0].text);

    sink.SetErrorAnswer(1);
    TrickleSocket failingAgain(1);
    try
    {
        chat.SendQueuedLine(failingAgain, ZymString("NICK somebody"));
        FAIL() << "a nonzero answer must raise";
    }
    catch (SKException& e)
    {
        EXPECT_STREQ("ChatNetworkingError", e.GetMessage());
    }
    EXPECT_EQ(2u, sink.Count());
}
