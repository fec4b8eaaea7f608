// The chat component over TLS against tls-test-server.py, which this run's
// with-tls-authority.sh and with-tls-test-server.sh started: refusals of
// servers that fail verification, and lines framed across records in every
// way TLS allows.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "EventRecorder.h"
#include "TestChat.h"
#include "TlsControl.h"

namespace
{
    const int kWait = 20000;

    std::string TempLogPath()
    {
        char folder[MAX_PATH];
        char path[MAX_PATH];
        if (GetTempPathA(MAX_PATH, folder) == 0 || GetTempFileNameA(folder, "tls", 0, path) == 0)
            return std::string();
        return path;
    }

    // A component with a recording sink and a log file, and the session of
    // the test server it talks to.
    class TlsChat : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE(m_Control.IsConnected())
                << "run through with-tls-test-server.sh, which names the server in ZYM_TLS_CONTROL";
            m_LogPath = TempLogPath();
            ASSERT_FALSE(m_LogPath.empty());
            m_pChat.reset(new TestChat());
            m_pChat->SetEventSink(&m_Sink);
            m_pChat->m_pLogFile = std::fopen(m_LogPath.c_str(), "w");
            ASSERT_NE(nullptr, m_pChat->m_pLogFile);
        }

        void TearDown() override
        {
            m_pChat.reset();
            if (!m_LogPath.empty())
                DeleteFileA(m_LogPath.c_str());
        }

        // Opens a session of the server and points the component at it.
        void ConnectTo(const std::string& mode, const std::string& cert)
        {
            int nPort = m_Control.Open(mode, cert);
            ASSERT_NE(0, nPort) << "the test server opened no session";
            m_pChat->SetNickname("tlsuser");
            std::string server = "ircs://localhost:" + std::to_string(nPort);
            ASSERT_EQ(1, m_pChat->ConnectToServer(server.c_str()));
        }

        void LogIn()
        {
            ConnectTo("tls", "good");
            ASSERT_TRUE(m_Control.WaitFor("NICK tlsuser\r\nUSER ", kWait))
                << "no login arrived; log:\n" << Log();
        }

        std::string Log() const
        {
            std::ifstream file(m_LogPath);
            std::stringstream text;
            text << file.rdbuf();
            return text.str();
        }

        TlsControl m_Control;
        EventRecorder m_Sink;
        std::unique_ptr<TestChat> m_pChat;
        std::string m_LogPath;
    };

    struct Refusal
    {
        const char* pszName;
        const char* pszMode;
        const char* pszCert;
        // What the log must give as the reason.
        const char* pszReason;
    };

    const Refusal kRefusals[] = {
        {"UntrustedAuthority", "tls", "untrusted", "root the machine"},
        {"WrongHostName", "tls", "wrongname", "another host name"},
        {"Expired", "tls", "expired", "expired"},
        {"PlainServerOnTheTlsPort", "plain", "good", "does not speak TLS"},
        {"CloseDuringTheHandshake", "hangup", "good", "during the handshake"},
        {"OnlyTls13Offered", "tls13", "good", "the handshake failed"},
    };

    class TlsRefusal : public TlsChat, public ::testing::WithParamInterface<Refusal>
    {
    };
}

TEST_P(TlsRefusal, IsReportedAsAConnectionErrorBeforeAnyLineIsSent)
{
    const Refusal& refusal = GetParam();
    ConnectTo(refusal.pszMode, refusal.pszCert);
    ASSERT_TRUE(m_Sink.WaitForError(-1001, kWait)) << "log:\n" << Log();
    auto errors = m_Sink.Errors();
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("-1001 connection error occured", errors[0].text);
    EXPECT_TRUE(m_pChat->ThreadEnded(kWait));

    std::string log = Log();
    EXPECT_NE(std::string::npos, log.find("TLS with localhost refused")) << log;
    EXPECT_NE(std::string::npos, log.find(refusal.pszReason)) << log;
    EXPECT_NE(std::string::npos, log.find("m_TCPSocket->Connect() returned 8820")) << log;

    // Whatever the server got, no line of the chat was among it.
    std::string received = m_Control.Received();
    EXPECT_EQ(std::string::npos, received.find("NICK")) << received;
    EXPECT_EQ(std::string::npos, received.find("USER")) << received;

    auto start = std::chrono::steady_clock::now();
    m_pChat.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000))
        << "releasing a refused component waited";
}

INSTANTIATE_TEST_SUITE_P(Servers, TlsRefusal, ::testing::ValuesIn(kRefusals),
                         [](const ::testing::TestParamInfo<Refusal>& info) {
                             return std::string(info.param.pszName);
                         });

TEST_F(TlsChat, AComponentWaitingForAHandshakeAnswerIsReleasedAtOnce)
{
    ConnectTo("silent", "good");
    // The client's first handshake message: a handshake record.
    ASSERT_TRUE(m_Control.WaitFor(std::string("\x16\x03", 2), kWait));
    auto start = std::chrono::steady_clock::now();
    m_pChat.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(std::string::npos, m_Control.Received().find("NICK"));
}

TEST_F(TlsChat, AVerifiedServerHearsTheLoginAndTheLogNamesProtocolAndCipher)
{
    LogIn();
    std::string log = Log();
    EXPECT_NE(std::string::npos, log.find("TLS with localhost established: TLS 1.2, cipher ")) << log;
    EXPECT_EQ(0u, m_Sink.Errors().size());
}

TEST_F(TlsChat, LinesAreTakenWhateverTheRecordsThatCarryThem)
{
    LogIn();
    // Each line reaches the host as a message-of-the-day text, so the sink
    // shows every line taken, in order.
    auto motd = [](const std::string& word) { return ":s 372 tlsuser :- " + word + "\r\n"; };
    std::vector<std::string> expected;
    auto expect = [&expected](std::initializer_list<const char*> words) {
        for (const char* word : words)
            expected.push_back(std::string(word) + " ");
    };

    // Several lines in one record.
    ASSERT_TRUE(m_Control.Records({motd("a1") + motd("a2") + motd("a3")}));
    expect({"a1", "a2", "a3"});
    ASSERT_TRUE(m_Sink.WaitForText(CHAT_EVENT_MOTD, expected.back(), kWait)) << Log();
    // Several records in one read: the ones behind the first are held by the
    // socket, and nothing more arrives to wake a wait on the network.
    ASSERT_TRUE(m_Control.Records({motd("b1"), motd("b2"), motd("b3")}));
    expect({"b1", "b2", "b3"});
    ASSERT_TRUE(m_Sink.WaitForText(CHAT_EVENT_MOTD, expected.back(), kWait)) << Log();
    // One line across records, its CR and LF in records of their own.
    std::string split = motd("split") + motd("cr");
    ASSERT_TRUE(m_Control.Records({split.substr(0, 20), split.substr(20, split.size() - 22),
                                   std::string("\r"), std::string("\n")}));
    expect({"split", "cr"});
    ASSERT_TRUE(m_Sink.WaitForText(CHAT_EVENT_MOTD, expected.back(), kWait)) << Log();
    // One record whose bytes arrive in three reads, the first inside its
    // header.
    ASSERT_TRUE(m_Control.Cut(motd("cut1") + motd("cut2"), {3, 20}));
    expect({"cut1", "cut2"});
    ASSERT_TRUE(m_Sink.WaitForText(CHAT_EVENT_MOTD, expected.back(), kWait)) << Log();

    EXPECT_EQ(expected, m_Sink.Texts(CHAT_EVENT_MOTD));
    // The answer to a PING goes out through the same channel.
    ASSERT_TRUE(m_Control.Records({"PING :tok\r\n"}));
    EXPECT_TRUE(m_Control.WaitFor("PONG :tok\r\n", kWait));
    EXPECT_EQ(0u, m_Sink.Errors().size()) << Log();
}

TEST_F(TlsChat, AFullSixteenKiBRecordOfShortLinesArrivesLineByLineInOrder)
{
    LogIn();
    const size_t kRecord = 16384;
    // ":s 372 tlsuser :- " and CR LF around each text.
    const size_t kFrame = 20;
    std::string record;
    std::vector<std::string> expected;
    // Short lines while there is room for one more and a last line of at
    // least one character, which then fills the record to the byte.
    while (kRecord - record.size() >= 2 * kFrame + 6 + 1)
    {
        char word[16];
        std::snprintf(word, sizeof(word), "w%05d", static_cast<int>(expected.size()));
        // The component hands a text on with a blank behind each word.
        expected.push_back(std::string(word) + " ");
        record += ":s 372 tlsuser :- " + std::string(word) + "\r\n";
    }
    std::string fill(kRecord - record.size() - kFrame, 'z');
    record += ":s 372 tlsuser :- " + fill + "\r\n";
    expected.push_back(fill + " ");
    ASSERT_EQ(kRecord, record.size());

    ASSERT_TRUE(m_Control.Records({record, "PING :after\r\n"}));
    ASSERT_TRUE(m_Control.WaitFor("PONG :after\r\n", kWait)) << Log();
    EXPECT_EQ(expected, m_Sink.Texts(CHAT_EVENT_MOTD));
}

TEST_F(TlsChat, QuitSendsTheQuitLineAndACloseNotify)
{
    LogIn();
    m_pChat->Quit();
    EXPECT_TRUE(m_Control.WaitFor("QUIT\r\n", kWait));
    bool bNotified = false;
    for (int i = 0; i < 50 && !bNotified; ++i)
    {
        bNotified = m_Control.State().find("notified=yes") != std::string::npos;
        if (!bNotified)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(bNotified) << m_Control.State() << "\n" << Log();
}

TEST_F(TlsChat, TheServersCloseNotifyEndsTheReceiveLoop)
{
    LogIn();
    ASSERT_TRUE(m_Control.Close());
    EXPECT_TRUE(m_pChat->ThreadEnded(kWait)) << Log();
}

TEST_F(TlsChat, ARenegotiationAskedByTheServerIsRefusedAndTheLogSaysWhy)
{
    ConnectTo("renegotiating", "good");
    ASSERT_TRUE(m_Control.WaitFor("NICK tlsuser\r\nUSER ", kWait)) << "no login arrived; log:\n"
                                                                   << Log();
    ASSERT_TRUE(m_Control.Renegotiate());
    ASSERT_TRUE(m_Sink.WaitForError(-1002, kWait)) << Log();
    EXPECT_TRUE(m_pChat->ThreadEnded(kWait));
    std::string log = Log();
    EXPECT_NE(std::string::npos,
              log.find("TLS with localhost: the server asked to renegotiate the channel; refused"))
        << log;
    EXPECT_EQ(std::string::npos, log.find("could not be decrypted")) << log;
}
