#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

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
        ScriptedSocket(StreamState state, SocketResult nResult, const std::string& bytes)
            : m_State(state), m_nResult(nResult), m_Bytes(bytes)
        {
        }
        SocketResult Connect(const SocketAddress&, int) override { return ZymSocketOk; }
        SocketResult Disconnect() override { return ZymSocketOk; }
        SocketResult Send(const char*, int*) override { return ZymSocketOk; }
        StreamState GetConnectionState() const override { return m_State; }
        SocketResult BytesAvailable(int*) override { return ZymNothingToRead; }
        bool HoldsData() const override { return false; }
        SocketHandle GetHandle() const override { return 0; }
        SocketResult Receive(char* pBuffer, int* pLength) override
        {
            // As TCPSocket: a socket that is not connected reads nothing and
            // leaves the count as it was.
            if (m_State != StreamOpen)
                return ZymSocketOk;
            if (m_nResult != ZymSocketOk)
            {
                m_State = StreamClosed;
                return m_nResult;
            }
            int nCount = std::min(*pLength, static_cast<int>(m_Bytes.size()));
            std::memcpy(pBuffer, m_Bytes.data(), nCount);
            *pLength = nCount;
            return ZymSocketOk;
        }

    private:
        StreamState m_State;
        SocketResult m_nResult;
        std::string m_Bytes;
    };

    std::string TakeQueued(TestChat& chat)
    {
        ZymString line;
        return chat.TakeNextLine(line) ? line.Text() : "(none)";
    }
}

TEST(ZymChatReceive, OneReadTakesManyLinesAndAPartLineWaitsForTheNext)
{
    EventRecorder sink;
    TestChat chat;
    chat.SetEventSink(&sink);
    LineAssembler lines;
    // Many lines in one read (7 KiB in all): a read far larger than a line
    // takes them all.
    std::string bytes;
    std::vector<std::string> rooms;
    for (int i = 0; i < 200; ++i)
    {
        rooms.push_back("#room" + std::to_string(i));
        bytes += ":irc.test 322 me " + rooms.back() + " 4 :topic\r\n";
    }
    bytes += "PING :" + std::string(122, 'q');
    ScriptedSocket many(StreamOpen, ZymSocketOk, bytes);
    EXPECT_FALSE(chat.ReadChunk(many, lines));
    EXPECT_EQ(128, lines.Held());
    EXPECT_EQ(rooms, sink.Texts(CHAT_EVENT_LIST_ENTRY));

    ScriptedSocket rest(StreamOpen, ZymSocketOk, "qq\r\n");
    EXPECT_FALSE(chat.ReadChunk(rest, lines));
    EXPECT_EQ(0, lines.Held());
    EXPECT_EQ("PONG :" + std::string(124, 'q'), TakeQueued(chat));
}

TEST(ZymChatReceive, AReadThatFillsItsWholeRequestSaysSoAndTheLineGoesOnInTheNext)
{
    EventRecorder sink;
    TestChat chat;
    chat.SetEventSink(&sink);
    LineAssembler lines;
    // More than any one read asks for: the first read is full, and the line
    // it ends inside is completed by the next.
    std::vector<std::string> sent;
    std::string bytes;
    for (int i = 0; bytes.size() < 100000; ++i)
    {
        sent.push_back(":irc.test 322 me #room" + std::to_string(i) + " 4 :" +
                       std::string(380, 't') + "\r\n");
        bytes += sent.back();
    }
    ScriptedSocket full(StreamOpen, ZymSocketOk, bytes);
    EXPECT_TRUE(chat.ReadChunk(full, lines));
    size_t nEntries = sink.Texts(CHAT_EVENT_LIST_ENTRY).size();
    ASSERT_GT(nEntries, 0u);
    ASSERT_LT(nEntries, sent.size());
    size_t nHeld = static_cast<size_t>(lines.Held());
    ASSERT_GT(nHeld, 0u);
    size_t nRead = nHeld;
    for (size_t i = 0; i < nEntries; ++i)
        nRead += sent[i].size();

    ScriptedSocket rest(StreamOpen, ZymSocketOk, bytes.substr(nRead, sent[nEntries].size() - nHeld));
    EXPECT_FALSE(chat.ReadChunk(rest, lines));
    auto texts = sink.Texts(CHAT_EVENT_LIST_ENTRY);
    ASSERT_EQ(nEntries + 1, texts.size());
    EXPECT_EQ("#room" + std::to_string(nEntries), texts.back());
    EXPECT_EQ(0, lines.Held());
}

TEST(ZymChatReceive, TwoLinesOfOneReadAreDispatchedInOrder)
{
    TestChat chat;
    LineAssembler lines;
    ScriptedSocket socket(StreamOpen, ZymSocketOk, "PING :1\r\nJOIN\r\nPING :2\r\n");
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
        StreamState state;
        SocketResult nResult;
        int nAnswer;
        // The error text reported, or null when nothing is.
        const char* pszReported;
        bool bRaises;
    };
    const Case cases[] = {
        {"not connected", StreamClosed, ZymSocketOk, 1, nullptr, false},
        {"failed, answered 0", StreamOpen, ZymReceiveFailed, 0, "-1002 receive error", false},
        {"failed, answered 1", StreamOpen, ZymReceiveFailed, 1, "-1002 receive error", true},
        // The end this side asked for is only logged.
        {"aborted", StreamOpen, ZymConnectionAborted, 1, nullptr, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        EventRecorder sink(c.nAnswer);
        TestChat chat;
        chat.SetEventSink(&sink);
        LineAssembler lines;
        ScriptedSocket socket(c.state, c.nResult, "");
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
