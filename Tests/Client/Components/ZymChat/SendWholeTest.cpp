#include <gtest/gtest.h>

#include <string>

#include "SendWhole.h"
#include "SocketBase.h"
#include "SocketResults.h"

namespace
{
    // A socket whose sends take at most a few bytes each, as a busy system
    // may; it can fail or stall on a chosen call.
    class ShortSendSocket final : public SocketBase
    {
    public:
        SocketResult Connect(const SocketAddress&, int) override { return ZymSocketOk; }
        SocketResult Disconnect() override { return ZymSocketOk; }
        SocketResult Receive(char*, int*) override { return ZymSocketOk; }
        StreamState GetConnectionState() const override { return StreamOpen; }
        SocketResult BytesAvailable(int*) override { return ZymNothingToRead; }
        bool HoldsData() const override { return false; }
        SocketHandle GetHandle() const override { return 0; }
        SocketResult Send(const char* pData, int* pLength) override
        {
            ++m_nCalls;
            if (m_nCalls == m_nFailOnCall)
                return ZymSendFailed;
            int nTake = m_nCalls == m_nStallOnCall ? 0 : std::min(*pLength, m_nMaxPerSend);
            m_Wire.append(pData, nTake);
            *pLength = nTake;
            return ZymSocketOk;
        }

        int m_nMaxPerSend = 3;
        int m_nFailOnCall = -1;
        int m_nStallOnCall = -1;
        int m_nCalls = 0;
        std::string m_Wire;
    };
}

TEST(SendWhole, ShortSendsAreFollowedByTheRestInOrder)
{
    ShortSendSocket socket;
    const std::string line = "PRIVMSG #lobby :hello there\r\n";
    int nSent = 0;
    EXPECT_EQ(ZymSocketOk, SendWhole(socket, line.data(), static_cast<int>(line.size()), &nSent));
    EXPECT_EQ(line, socket.m_Wire);
    EXPECT_EQ(static_cast<int>(line.size()), nSent);
    EXPECT_EQ(10, socket.m_nCalls);
}

TEST(SendWhole, AFailureStopsAndReportsTheCodeAndWhatWentOut)
{
    ShortSendSocket socket;
    socket.m_nFailOnCall = 2;
    int nSent = 0;
    EXPECT_EQ(ZymSendFailed, SendWhole(socket, "QUIT\r\n", 6, &nSent));
    EXPECT_EQ(3, nSent);
    EXPECT_EQ("QUI", socket.m_Wire);
}

TEST(SendWhole, ASendThatTakesNothingEndsWithAFailureInsteadOfRepeating)
{
    ShortSendSocket socket;
    socket.m_nStallOnCall = 2;
    int nSent = 0;
    EXPECT_EQ(ZymSendFailed, SendWhole(socket, "NICK abc\r\n", 10, &nSent));
    EXPECT_EQ(2, socket.m_nCalls);
    EXPECT_EQ(3, nSent);
}
