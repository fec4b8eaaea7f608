#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "EventRecorder.h"
#include "FakeIrcServer.h"
#include "TestChat.h"

// Addresses of this file's servers: 127.0.1.50 to 127.0.1.59. Nothing
// listens on 127.0.1.253.

namespace
{
    const int kWait = 3000;

    class LoggedChat : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            // Named after the test and the moment, so that runs of other
            // builds on the same machine do not meet.
            m_Path = ::testing::TempDir() + "zcl-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                     std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
                     ".log";
            m_pChat.reset(new TestChat());
            m_pChat->SetEventSink(&m_Sink);
            m_pChat->m_pLogFile = std::fopen(m_Path.c_str(), "w");
            ASSERT_NE(nullptr, m_pChat->m_pLogFile);
        }

        void TearDown() override { std::remove(m_Path.c_str()); }

        // Destroys the component, which closes the log, and reads the log.
        std::string CloseAndRead()
        {
            m_pChat.reset();
            std::ifstream in(m_Path.c_str());
            std::stringstream text;
            text << in.rdbuf();
            return text.str();
        }

        std::string m_Path;
        EventRecorder m_Sink;
        std::unique_ptr<TestChat> m_pChat;
    };

    bool Has(const std::string& log, const std::string& entry)
    {
        return log.find(entry) != std::string::npos;
    }
}

TEST_F(LoggedChat, AFailedConnectLogsTheSocketResult)
{
    m_pChat->ConnectToServer("127.0.1.253");
    ASSERT_TRUE(m_Sink.WaitForCount(1, kWait));
    ASSERT_TRUE(m_pChat->ThreadEnded(kWait));
    std::string log = CloseAndRead();
    EXPECT_TRUE(Has(log, "m_TCPSocket->Connect() returned 8810\n")) << log;
    EXPECT_TRUE(Has(log, "In ~ZymChat()\n")) << log;
    EXPECT_FALSE(Has(log, "Exiting the listen thread")) << log;
}

TEST_F(LoggedChat, SendsReceivesAndTheEndOfTheThreadAreLoggedInTheirFormats)
{
    FakeIrcServer server("127.0.1.50");
    ASSERT_TRUE(server.IsListening());
    m_pChat->SetNickname("dave");
    m_pChat->ConnectToServer(server.Address().c_str());
    ASSERT_TRUE(server.WaitForLines(3, kWait));
    server.SendLine("PING :log");
    ASSERT_TRUE(server.WaitForReceived("PONG :log\r\n", kWait));
    server.CloseClient();
    ASSERT_TRUE(m_pChat->ThreadEnded(kWait));
    std::string log = CloseAndRead();

    EXPECT_TRUE(Has(log, "sendTxt(\"NICK dave\"), ")) << log;
    EXPECT_TRUE(Has(log, "m_TCPSocket->Send(\"NICK dave\")\n")) << log;
    EXPECT_TRUE(Has(log, "m_TCPSocket->Send() sent 11 bytes\n")) << log;
    EXPECT_TRUE(Has(log, "m_TCPSocket->Receive() read 11 bytes\n")) << log;
    EXPECT_TRUE(Has(log, "\nPING :log\n")) << log;
    EXPECT_TRUE(Has(log, "Not ZymFnctnTimedOutErr.  Error = 8817\n")) << log;
    EXPECT_TRUE(Has(log, "Exiting the listen thread\n")) << log;
    EXPECT_TRUE(Has(log, "The background chat thread is exiting.\n\n")) << log;
    // Each timestamp is asctime's text, with its own line break, on the line
    // before the entry.
    size_t nAt = log.find("m_TCPSocket->Send(\"NICK dave\")");
    ASSERT_NE(std::string::npos, nAt);
    size_t nLineStart = log.rfind('\n', nAt - 2);
    std::string stamp = log.substr(nLineStart + 1, nAt - nLineStart - 1);
    EXPECT_EQ(25u, stamp.size()) << stamp;
    EXPECT_EQ('\n', stamp.back());
}
