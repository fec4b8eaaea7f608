#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "EventRecorder.h"
#include "FakeIrcServer.h"
#include "SocketResults.h"
#include "TCPSocket.h"
#include "TestChat.h"
#include "TestClock.h"
#include "TestSockets.h"

// Quitting, a refused login nickname, and closing the socket from either
// thread.
//
// Addresses of this file's servers: 127.0.8.50 to 127.0.8.69. Nothing
// listens on 127.0.8.251.

namespace
{
    const int kWait = 5000;

    double SecondsSince(std::chrono::steady_clock::time_point start)
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    // A listener whose backlog is full takes no further connection: a
    // component's connect to it waits until it is cut short.
    struct FullListener
    {
        explicit FullListener(const char* pszAddress) : bReady(false), hListen(kNoTestSocket)
        {
            StartTestSockets();
            hListen = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in local = {};
            local.sin_family = AF_INET;
            local.sin_port = htons(6667);
            local.sin_addr.s_addr = inet_addr(pszAddress);
            if (bind(hListen, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0 ||
                listen(hListen, 0) != 0)
                return;
            for (TestSocket& hFiller : fillers)
            {
                hFiller = socket(AF_INET, SOCK_STREAM, 0);
                SetTestSocketNonBlocking(hFiller);
                connect(hFiller, reinterpret_cast<sockaddr*>(&local), sizeof(local));
            }
            PauseMs(200);
            bReady = true;
        }
        ~FullListener()
        {
            if (bReady)
            {
                for (TestSocket hFiller : fillers)
                    CloseTestSocket(hFiller);
            }
            if (hListen != kNoTestSocket)
                CloseTestSocket(hListen);
            StopTestSockets();
        }

        bool bReady;
        TestSocket hListen;
        TestSocket fillers[4];
    };
}

TEST(ZymChatQuit, WithoutAConnectionNothingIsQueuedForTheNextLogin)
{
    FakeIrcServer server("127.0.8.50");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    TestChat chat;
    chat.SetEventSink(&sink);
    chat.SetNickname("alice");

    // Never connected, then after a connect that failed.
    chat.Quit();
    ASSERT_EQ(1, chat.ConnectToServer("127.0.8.251"));
    ASSERT_TRUE(sink.WaitForError(-1001, kWait));
    ASSERT_TRUE(chat.ThreadEnded(kWait));
    chat.Quit();

    ASSERT_EQ(1, chat.ConnectToServer(server.Address().c_str()));
    ASSERT_TRUE(server.WaitForLines(3, kWait));
    // A line queued now goes out behind anything left from before.
    chat.SetNickname("alice2");
    ASSERT_TRUE(server.WaitForReceived("NICK alice2\r\n", kWait));
    EXPECT_EQ("CAP LS 302\r\nNICK alice\r\nUSER ... 0 *  :...\r\nNICK alice2\r\n", server.Received());
}

TEST(ZymChatQuit, QuitFromASinkCallSendsQuitAndEndsTheConnectionWithoutWaiting)
{
    FakeIrcServer server("127.0.8.51");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    std::unique_ptr<TestChat> chat(new TestChat());
    double quitSeconds = -1;
    sink.onText = [&](int nCode, const char*) {
        if (nCode != CHAT_EVENT_MESSAGE)
            return;
        auto start = std::chrono::steady_clock::now();
        chat->Quit();
        quitSeconds = SecondsSince(start);
    };
    chat->SetEventSink(&sink);
    chat->SetNickname("alice");
    chat->JoinChannel("#home", 0);
    ASSERT_EQ(1, chat->ConnectToServer(server.Address().c_str()));
    ASSERT_TRUE(server.WaitForLines(3, kWait));
    server.SendLine(":irc.test 002 alice :Your host");
    ASSERT_TRUE(server.WaitForReceived("JOIN #home\r\n", kWait));
    server.SendLine(":alice!a@h JOIN :#home");
    server.SendLine(":bob!b@h PRIVMSG #home :please go");

    EXPECT_TRUE(server.WaitForReceived("\r\nQUIT\r\n", kWait));
    EXPECT_TRUE(server.WaitForClientClosed(kWait));
    EXPECT_TRUE(chat->ThreadEnded(kWait));
    EXPECT_GE(quitSeconds, 0.0);
    EXPECT_LT(quitSeconds, 0.5);
    EXPECT_TRUE(sink.Errors().empty());
}

TEST(ZymChatQuit, AQuitLeftUnsentByAClosedConnectionDoesNotEndTheNextLogin)
{
    FakeIrcServer server("127.0.8.56");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    std::unique_ptr<TestChat> chat(new TestChat());
    std::promise<void> serverClosed;
    std::shared_future<void> serverHasClosed = serverClosed.get_future().share();
    // During the login the host picks another nickname and then gives up,
    // from its sink; the server drops the connection before either line
    // has gone out.
    sink.onText = [&](int nCode, const char*) {
        if (nCode != CHAT_EVENT_MOTD)
            return;
        chat->SetNickname("bob");
        chat->Quit();
        serverHasClosed.wait_for(std::chrono::milliseconds(kWait));
    };
    chat->SetEventSink(&sink);
    chat->SetNickname("alice");
    ASSERT_EQ(1, chat->ConnectToServer("127.0.8.56"));
    ASSERT_TRUE(server.WaitForLines(3, kWait));
    server.SendLine(":irc.test 372 alice :- hello");
    ASSERT_TRUE(sink.WaitFor(RecordedEvent::Text, CHAT_EVENT_MOTD, kWait));
    server.CloseClient();
    serverClosed.set_value();
    ASSERT_TRUE(chat->ThreadEnded(kWait));
    sink.onText = nullptr;
    size_t nFirst = server.Received().size();
    size_t nFirstLines = server.ReceivedLines().size();

    // The host closes its side and tries again: the new connection logs in
    // as the host now wants, and nothing of the old connection's quit ends
    // it.
    chat->Quit();
    ASSERT_EQ(1, chat->ConnectToServer("127.0.8.56"));
    ASSERT_TRUE(server.WaitForConnections(2, kWait));
    ASSERT_TRUE(server.WaitForLines(nFirstLines + 3, kWait));
    PauseMs(300);
    std::string second = server.Received().substr(nFirst);
    EXPECT_EQ(std::string::npos, second.find("QUIT")) << second;
    EXPECT_EQ(0u, second.find("CAP LS 302\r\nNICK bob\r\n")) << second;
    // The new connection still listens.
    server.SendLine("PING :still");
    EXPECT_TRUE(server.WaitForReceived("PONG :still\r\n", kWait));
}

TEST(ZymChatQuit, AConnectRightAfterAQuitStartsTheNewConnection)
{
    FakeIrcServer server("127.0.8.59");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    TestChat chat;
    chat.SetEventSink(&sink);
    chat.SetNickname("alice");
    ASSERT_EQ(1, chat.ConnectToServer("127.0.8.59"));
    ASSERT_TRUE(server.WaitForLines(3, kWait));

    // Not welcomed: the user gives up this login and tries again at once.
    chat.Quit();
    chat.SetNickname("alice2");
    ASSERT_EQ(1, chat.ConnectToServer("127.0.8.59"));
    EXPECT_TRUE(server.WaitForConnections(2, kWait)) << "the second ConnectToServer did nothing";
    EXPECT_TRUE(server.WaitForReceived("QUIT\r\nCAP LS 302\r\nNICK alice2\r\n", kWait));
}

TEST(ZymChatNickname, ANicknameRefusedAtLoginCanBeReplacedBeforeTheWelcome)
{
    FakeIrcServer server("127.0.8.52");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    std::unique_ptr<TestChat> chat(new TestChat());
    chat->SetEventSink(&sink);
    chat->SetNickname("alice");
    ASSERT_EQ(1, chat->ConnectToServer(server.Address().c_str()));
    ASSERT_TRUE(server.WaitForLines(3, kWait));
    server.SendLine(":irc.test 433 * alice :Nickname is already in use");
    ASSERT_TRUE(sink.WaitForError(433, kWait));

    chat->SetNickname("alice2");
    ASSERT_TRUE(server.WaitForReceived("NICK alice2\r\n", kWait));
    server.SendLine(":irc.test 001 alice2 :Welcome");
    server.SendLine(":irc.test 002 alice2 :Your host");
    chat->JoinChannel("#home", 0);
    ASSERT_TRUE(server.WaitForReceived("JOIN #home\r\n", kWait));
    server.SendLine(":alice2!a@h JOIN :#home");
    ASSERT_TRUE(server.WaitForReceived("NOTICE #home :ZYMATTRIBREQUEST\r\n", kWait));
    EXPECT_EQ(1, chat->SendChannelMessage("#home", "made it"));
    EXPECT_TRUE(server.WaitForReceived("PRIVMSG #home :made it\r\n", kWait));
}

TEST(ZymChatNickname, ARenameByTheServerToANameNoNickLineCanCarryLeavesTheLoginWorking)
{
    FakeIrcServer server("127.0.8.58");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    TestChat chat;
    chat.SetEventSink(&sink);
    chat.SetNickname("alice");
    ASSERT_EQ(1, chat.ConnectToServer("127.0.8.58"));
    ASSERT_TRUE(server.WaitForLines(3, kWait));
    // Before the welcome the server renames us to a name with a bare CR,
    // then drops the connection.
    server.SendLine(":alice!a@h NICK :al\rice");
    server.SendLine("PING :seen");
    ASSERT_TRUE(server.WaitForReceived("PONG :seen\r\n", kWait));
    server.CloseClient();
    ASSERT_TRUE(chat.ThreadEnded(kWait));
    size_t nFirst = server.Received().size();

    // The host tries again: the login goes out, with the name it has.
    chat.Quit();
    ASSERT_EQ(1, chat.ConnectToServer("127.0.8.58"));
    ASSERT_TRUE(server.WaitForConnections(2, kWait));
    EXPECT_TRUE(server.WaitForLines(7, kWait));
    EXPECT_EQ("CAP LS 302\r\nNICK alice\r\nUSER ... 0 *  :...\r\n", server.Received().substr(nFirst));
    EXPECT_TRUE(sink.Errors().empty());
}

TEST(TCPSocketClosing, ADisconnectFromAnotherThreadEndsAWaitingReceiveQuietly)
{
    FakeIrcServer server("127.0.8.53");
    ASSERT_TRUE(server.IsListening());
    TCPSocket socket;
    SocketAddress address;
    address.SetAddress("127.0.8.53");
    ASSERT_EQ(ZymSocketOk, socket.Connect(address, 6667));
    ASSERT_TRUE(server.WaitForClient(kWait));

    int nResult = -1;
    std::thread reader([&] {
        char buffer[128];
        int nLength = sizeof(buffer);
        nResult = socket.Receive(buffer, &nLength);
    });
    PauseMs(300);
    EXPECT_EQ(ZymSocketOk, socket.Disconnect());
    reader.join();
    // The end this side asked for, not a failure to report.
    EXPECT_EQ(ZymConnectionAborted, nResult);
    EXPECT_EQ(0, socket.GetConnectionState());
    EXPECT_EQ(ZymSocketOk, socket.Disconnect());
}

TEST(ZymChatDestruction, ADestructionDuringTheConnectReportsNothing)
{
    FullListener listener("127.0.8.55");
    ASSERT_TRUE(listener.bReady);

    EventRecorder sink;
    {
        // The object a host gets: destroying a test subclass would rewrite
        // the virtual table while the new thread calls Run through it.
        ZymChat chat;
        chat.SetEventSink(&sink);
        ASSERT_EQ(1, chat.ConnectToServer("127.0.8.55"));
        PauseMs(500);
        // Still connecting; a failure to connect would have been reported.
        ASSERT_TRUE(sink.Errors().empty()) << "the connect did not wait";
    }
    PauseMs(200);
    EXPECT_TRUE(sink.Events().empty());
}

TEST(ZymChatQuit, AQuitDuringTheConnectReportsNoConnectionError)
{
    FullListener listener("127.0.8.57");
    ASSERT_TRUE(listener.bReady);

    // A host that tries again whenever a connect fails must not hear of a
    // failure when its user quit.
    EventRecorder sink;
    TestChat chat;
    chat.SetEventSink(&sink);
    ASSERT_EQ(1, chat.ConnectToServer("127.0.8.57"));
    PauseMs(500);
    ASSERT_TRUE(sink.Errors().empty()) << "the connect did not wait";
    chat.Quit();
    ASSERT_TRUE(chat.ThreadEnded(kWait));
    EXPECT_TRUE(sink.Events().empty());
}

namespace
{
    // A host whose answer to a connection error takes its time, and which
    // tells when the report has begun.
    class SlowErrorSink : public EventRecorder
    {
    public:
        int ReportError(int nCode, const char* pszText) override
        {
            m_Begun.set_value();
            PauseMs(1500);
            return EventRecorder::ReportError(nCode, pszText);
        }
        std::future<void> Begun() { return m_Begun.get_future(); }

    private:
        std::promise<void> m_Begun;
    };
}

TEST(ZymChatQuit, AConnectWhileTheLastFailureIsStillReportedConnects)
{
    FakeIrcServer server("127.0.8.60");
    ASSERT_TRUE(server.IsListening());
    SlowErrorSink sink;
    std::future<void> begun = sink.Begun();
    TestChat chat;
    chat.SetEventSink(&sink);
    chat.SetNickname("alice");
    ASSERT_EQ(1, chat.ConnectToServer("127.0.8.251"));
    ASSERT_EQ(std::future_status::ready, begun.wait_for(std::chrono::milliseconds(kWait)));

    // The host gives up on the failed server and names another while the
    // failure is still being reported.
    chat.Quit();
    ASSERT_EQ(1, chat.ConnectToServer("127.0.8.60"));
    EXPECT_TRUE(server.WaitForConnections(1, kWait)) << "the accepted connect never happened";
    EXPECT_TRUE(server.WaitForReceived("NICK alice\r\n", kWait));
    chat.Quit();
}

namespace
{
    // A host that answers a connection error by connecting to another
    // server, from inside the report.
    class ReconnectingSink : public EventRecorder
    {
    public:
        ReconnectingSink(ChatComponent*& pChat, const std::string& server)
            : m_pChat(pChat), m_Server(server), m_nResult(-1)
        {
        }
        int ReportError(int nCode, const char* pszText) override
        {
            int nAnswer = EventRecorder::ReportError(nCode, pszText);
            if (m_nResult == -1)
                m_nResult = m_pChat->ConnectToServer(m_Server.c_str());
            return nAnswer;
        }
        int Result() const { return m_nResult; }

    private:
        ChatComponent*& m_pChat;
        std::string m_Server;
        int m_nResult;
    };
}

TEST(ZymChatQuit, AConnectFromInsideTheReportOfAFailedOneConnects)
{
    FakeIrcServer server("127.0.8.61");
    ASSERT_TRUE(server.IsListening());
    ChatComponent* pChat = nullptr;
    ReconnectingSink sink(pChat, "127.0.8.61");
    TestChat chat;
    pChat = &chat;
    chat.SetEventSink(&sink);
    chat.SetNickname("alice");
    ASSERT_EQ(1, chat.ConnectToServer("127.0.8.251"));
    ASSERT_TRUE(sink.WaitForError(-1001, kWait));
    EXPECT_TRUE(server.WaitForConnections(1, kWait)) << "the accepted connect never happened";
    EXPECT_EQ(1, sink.Result());
    EXPECT_TRUE(server.WaitForReceived("NICK alice\r\n", kWait));
    chat.Quit();
}
