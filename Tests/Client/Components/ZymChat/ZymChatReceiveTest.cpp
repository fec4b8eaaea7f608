#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "EventRecorder.h"
#include "LineAssembler.h"
#include "SKException.h"
#include "SocketBase.h"
#include "SocketResults.h"
#include "TestChat.h"

namespace
{
    // A socket that hands out one scripted answer to Receive.
    class ScriptedSocket final : public SocketBase
    {
    public:
        ScriptedSocket(int nConnectionState, int nResult, const std::string& bytes)
            : m_nResult(nResult), m_Bytes(bytes)
        {
            m_nNetworkState = 1;
            m_nConnectionState = nConnectionState;
        }
        int Connect(const SocketAddress&, int) override { return ZymSocketOk; }
        int Disconnect() override { return ZymSocketOk; }
        int Send(const char*, int*) override { return ZymSocketOk; }
        int Receive(char* pBuffer, int* pLength) override
        {
            // As TCPSocket: a socket that is not connected reads nothing and
            // leaves the count as it was.
            if (m_nConnectionState != 1)
                return ZymSocketOk;
            if (m_nResult != ZymSocketOk)
            {
                m_nConnectionState = 0;
                return m_nResult;
            }
            int nCount = std::min(*pLength, static_cast<int>(m_Bytes.size()));
            std::memcpy(pBuffer, m_Bytes.data(), nCount);
            *pLength = nCount;
            return ZymSocketOk;
        }

    private:
        int m_nResult;
        std::string m_Bytes;
    };

    std::string TakeQueued(TestChat& chat)
    {
        ZymString line;
        return chat.TakeNextLine(line) ? line.Text() : "(none)";
    }
}

TEST(ZymChatReceive, AFullChunkInsideALineAsksForMoreAndAShortOneDoesNot)
{
    TestChat chat;
    LineAssembler lines;
    ScriptedSocket full(1, ZymSocketOk, "PING :" + std::string(122, 'q'));
    EXPECT_TRUE(chat.ReadChunk(full, lines));
    EXPECT_EQ(128, lines.Held());

    ScriptedSocket rest(1, ZymSocketOk, "qq\r\n");
    EXPECT_FALSE(chat.ReadChunk(rest, lines));
    EXPECT_EQ(0, lines.Held());
    EXPECT_EQ("PONG :" + std::string(124, 'q'), TakeQueued(chat));

    ScriptedSocket endsLine(1, ZymSocketOk, std::string(120, 'w') + " PING\r\n");
    EXPECT_FALSE(chat.ReadChunk(endsLine, lines));
}

TEST(ZymChatReceive, TwoLinesOfOneReadAreDispatchedInOrder)
{
    TestChat chat;
    LineAssembler lines;
    ScriptedSocket socket(1, ZymSocketOk, "PING :1\r\nJOIN\r\nPING :2\r\n");
    chat.ReadChunk(socket, lines);
    // The second PING's answer replaces the first one's, which had not gone
    // out yet: the second line was handled after the first.
    EXPECT_EQ("PONG :2", TakeQueued(chat));
    EXPECT_EQ("(none)", TakeQueued(chat));
}

// What a read that brings no bytes tells the host, by the socket's result
// and the host's answer: no bytes are added, and the loop reads no more.
TEST(ZymChatReceive, AReadWithoutBytesIsReportedOrRaisesAsTheHostAnswers)
{
    struct Case
    {
        const char* pszName;
        int nConnectionState;
        int nResult;
        int nAnswer;
        // The error text reported, or null when nothing is.
        const char* pszReported;
        bool bRaises;
    };
    const Case cases[] = {
        {"not connected", 0, ZymSocketOk, 1, nullptr, false},
        {"failed, answered 0", 1, ZymReceiveFailed, 0, "-1002 receive error", false},
        {"failed, answered 1", 1, ZymReceiveFailed, 1, "-1002 receive error", true},
        // The end this side asked for is only logged.
        {"aborted", 1, ZymConnectionAborted, 1, nullptr, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        EventRecorder sink(c.nAnswer);
        TestChat chat;
        chat.SetEventSink(&sink);
        LineAssembler lines;
        ScriptedSocket socket(c.nConnectionState, c.nResult, "");
        bool bRaised = false;
        try
        {
            EXPECT_FALSE(chat.ReadChunk(socket, lines));
        }
        catch (SKException& e)
        {
            bRaised = true;
            EXPECT_STREQ("ChatNetworkingError", e.GetMessage());
        }
        EXPECT_EQ(c.bRaises, bRaised);
        EXPECT_EQ(0, lines.Held());
        auto events = sink.Events();
        if (c.pszReported == nullptr)
        {
            EXPECT_TRUE(events.empty());
            continue;
        }
        ASSERT_EQ(1u, events.size());
        EXPECT_EQ(RecordedEvent::Error, events[0].kind);
        EXPECT_EQ(-1002, events[0].nCode);
        EXPECT_EQ(c.pszReported, events[0].text);
    }
}
