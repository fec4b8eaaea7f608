#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "EventRecorder.h"
#include "FakeIrcServer.h"
#include "TestChat.h"
#include "TestClock.h"

#ifdef _WIN32
#include "AlertWatcher.h"
#endif

// Addresses of this file's servers: 127.0.1.10 to 127.0.1.39. Nothing
// listens on 127.0.1.251.

namespace
{
    const int kWait = 3000;

    // A component with a recording sink, connected to a fake server whose
    // address the test names, waiting until both login lines arrived.
    struct Connected
    {
        explicit Connected(const char* pszAddress) : server(pszAddress), chat(new TestChat())
        {
            chat->SetEventSink(&sink);
        }
        ~Connected() { chat.reset(); }

        bool LogIn(const char* pszNickname = "alice")
        {
            chat->SetNickname(pszNickname);
            return server.IsListening() && chat->ConnectToServer(server.Address().c_str()) == 1 &&
                   server.WaitForLines(3, kWait);
        }

        EventRecorder sink;
        FakeIrcServer server;
        std::unique_ptr<TestChat> chat;
    };
}

TEST(ZymChatConnection, ConnectWhereNothingListensReportsMinus1001AndMayBeRetried)
{
    EventRecorder sink;
    TestChat chat;
    chat.SetEventSink(&sink);
    EXPECT_EQ(1, chat.ConnectToServer("127.0.1.251"));
    ASSERT_TRUE(sink.WaitForCount(1, kWait));
    ASSERT_TRUE(chat.ThreadEnded(kWait));

    EXPECT_EQ(1, chat.ConnectToServer("127.0.1.251"));
    ASSERT_TRUE(sink.WaitForCount(2, kWait));
    ASSERT_TRUE(chat.ThreadEnded(kWait));
    auto events = sink.Events();
    ASSERT_EQ(2u, events.size());
    for (const RecordedEvent& event : events)
    {
        EXPECT_EQ(RecordedEvent::Error, event.kind);
        EXPECT_EQ(-1001, event.nCode);
        EXPECT_EQ("-1001 connection error occured", event.text);
        EXPECT_NE(std::this_thread::get_id(), event.threadId);
    }
}

TEST(ZymChatConnection, ARetryAfterAFailedConnectReachesAServerThatListensNow)
{
    EventRecorder sink;
    TestChat chat;
    chat.SetEventSink(&sink);
    // An address that was free a moment ago: nothing listens there until
    // the server below.
    std::string address;
    {
        FakeIrcServer probe("127.0.1.10");
        ASSERT_TRUE(probe.IsListening());
        address = probe.Address();
    }
    chat.ConnectToServer(address.c_str());
    ASSERT_TRUE(sink.WaitForCount(1, kWait));
    ASSERT_TRUE(chat.ThreadEnded(kWait));

    FakeIrcServer server(address.c_str());
    ASSERT_EQ(address, server.Address());
    chat.ConnectToServer(address.c_str());
    EXPECT_TRUE(server.WaitForReceived("USER", kWait));
    EXPECT_EQ(1u, sink.Count());
}

TEST(ZymChatConnection, LoginLinesCarryTheNamesGiven)
{
    Connected c("127.0.1.11");
    c.chat->SetUserName("al");
    c.chat->SetRealName("Alice A");
    ASSERT_TRUE(c.LogIn("alice"));
    EXPECT_EQ("CAP LS 302\r\nNICK alice\r\nUSER al 0 *  :Alice A\r\n", c.server.Received());
}

TEST(ZymChatConnection, LoginLinesWithoutNamesUseTheFillerAndEndTheNickLineWithItsBlank)
{
    Connected c("127.0.1.12");
    ASSERT_TRUE(c.server.IsListening());
    c.chat->ConnectToServer(c.server.Address().c_str());
    ASSERT_TRUE(c.server.WaitForLines(3, kWait));
    EXPECT_EQ("CAP LS 302\r\nNICK \r\nUSER ... 0 *  :...\r\n", c.server.Received());
}

TEST(ZymChatConnection, OverLongLoginFieldsAreCutToLinesTheServerAccepts)
{
    Connected c("127.0.1.13");
    c.chat->SetUserName(std::string(300, 'u').c_str());
    c.chat->SetRealName(std::string(300, 'r').c_str());
    // The longest nickname a NICK line carries; a longer one is refused and
    // the login keeps the one before.
    c.chat->SetNickname(std::string(505, 'n').c_str());
    c.chat->SetNickname(std::string(700, 'n').c_str());
    ASSERT_TRUE(c.server.IsListening());
    c.chat->ConnectToServer(c.server.Address().c_str());
    ASSERT_TRUE(c.server.WaitForLines(3, kWait));
    auto lines = c.server.ReceivedLines();
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("NICK " + std::string(505, 'n'), lines[1]);
    EXPECT_EQ("USER " + std::string(99, 'u') + " 0 *  :" + std::string(99, 'r'), lines[2]);
}

TEST(ZymChatConnection, LinesQueuedBeforeTheConnectionGoOutFirstAndInOrder)
{
    Connected c("127.0.1.14");
    EXPECT_EQ(1, c.chat->sendTxt("MODE x +i"));
    EXPECT_EQ(1, c.chat->sendTxt(""));
    ASSERT_TRUE(c.LogIn("bob"));
    ASSERT_TRUE(c.server.WaitForLines(5, kWait));
    EXPECT_EQ("MODE x +i\r\n\r\nCAP LS 302\r\nNICK bob\r\nUSER ... 0 *  :...\r\n", c.server.Received());

    c.chat->sendTxt("ONE");
    c.chat->sendTxt("TWO");
    c.chat->sendTxt("THREE");
    ASSERT_TRUE(c.server.WaitForLines(8, kWait));
    auto lines = c.server.ReceivedLines();
    EXPECT_EQ((std::vector<std::string>{"ONE", "TWO", "THREE"}),
              std::vector<std::string>(lines.begin() + 5, lines.end()));
}

// The alert is a message box, which only a Windows build shows.
#ifdef _WIN32
TEST(ZymChatConnection, A510CharacterLineGoesOutAnd511AreRefusedWithoutAnAlert)
{
    Connected c("127.0.1.15");
    ASSERT_TRUE(c.LogIn());
    const std::string fits(510, 'a');
    const std::string tooLong(511, 'b');
    AlertWatcher watcher(1500);
    EXPECT_EQ(1, c.chat->sendTxt(fits.c_str()));
    EXPECT_EQ(0, c.chat->sendTxt(tooLong.c_str()));
    EXPECT_EQ(0, c.chat->sendTxt("LINE\r\nBREAK"));
    EXPECT_EQ(1, c.chat->sendTxt("AFTER"));
    const AlertBox& box = watcher.Result();
    EXPECT_FALSE(box.bFound) << box.text;

    ASSERT_TRUE(c.server.WaitForReceived("AFTER\r\n", kWait));
    std::string received = c.server.Received();
    EXPECT_NE(std::string::npos, received.find("\r\n" + fits + "\r\nAFTER\r\n"));
    EXPECT_EQ(std::string::npos, received.find("b"));
}
#endif

TEST(ZymChatConnection, PingIsAnsweredWithItsTokenAndABarePingWithABarePong)
{
    Connected c("127.0.1.16");
    ASSERT_TRUE(c.LogIn());
    c.server.SendLine("PING :irc.test");
    EXPECT_TRUE(c.server.WaitForReceived("\r\nPONG :irc.test\r\n", kWait));
    c.server.SendLine(":irc.test PING tok2");
    EXPECT_TRUE(c.server.WaitForReceived("\r\nPONG :tok2\r\n", kWait));
    c.server.SendLine("PING");
    EXPECT_TRUE(c.server.WaitForReceived("\r\nPONG\r\n", kWait));
    EXPECT_EQ(0u, c.sink.Count());
}

TEST(ZymChatConnection, SendPongQueuesTheTokenCutToOneLine)
{
    TestChat chat;
    ZymString line;
    EXPECT_EQ(1, chat.SendPong("PING :a b"));
    ASSERT_TRUE(chat.TakeNextLine(line));
    EXPECT_STREQ("PONG :a b", line.Text());
    EXPECT_EQ(1, chat.SendPong(("PING :" + std::string(600, 't')).c_str()));
    ASSERT_TRUE(chat.TakeNextLine(line));
    EXPECT_EQ("PONG :" + std::string(504, 't'), line.Text());
    EXPECT_EQ(1, chat.SendPong("PING "));
    ASSERT_TRUE(chat.TakeNextLine(line));
    EXPECT_STREQ("PONG", line.Text());
}

TEST(ZymChatConnection, ALineSplitOverReadsIsDispatchedWhole)
{
    Connected c("127.0.1.18");
    ASSERT_TRUE(c.LogIn());
    // The answer to the whole line before it shows that the first part was
    // read before the rest was sent.
    c.server.Send("PING :first\r\nPING :spl");
    ASSERT_TRUE(c.server.WaitForReceived("PONG :first\r\n", kWait));
    c.server.Send("it\r\n");
    EXPECT_TRUE(c.server.WaitForReceived("PONG :split\r\n", kWait));

    // Longer than one read of 128 bytes: the line is taken over several.
    const std::string token(300, 'k');
    c.server.SendLine("PING :" + token);
    EXPECT_TRUE(c.server.WaitForReceived("PONG :" + token + "\r\n", kWait));
}

TEST(ZymChatConnection, AnOverLongLineIsDroppedAndTheConnectionGoesOn)
{
    Connected c("127.0.1.19");
    ASSERT_TRUE(c.LogIn());
    c.server.Send("PING :lost" + std::string(40000, 'x') + "\r\nPING :kept\r\n");
    EXPECT_TRUE(c.server.WaitForReceived("PONG :kept\r\n", kWait));
    EXPECT_EQ(std::string::npos, c.server.Received().find("lost"));
}

TEST(ZymChatConnection, TheServerClosingEndsTheThreadWithoutASinkCall)
{
    Connected c("127.0.1.20");
    ASSERT_TRUE(c.LogIn());
    c.server.CloseClient();
    EXPECT_TRUE(c.chat->ThreadEnded(kWait));
    EXPECT_EQ(0u, c.sink.Count());
    // Not welcomed: once the host has closed its side, it may log in again.
    c.chat->Quit();
    EXPECT_EQ(1, c.chat->ConnectToServer(c.server.Address().c_str()));
    EXPECT_TRUE(c.server.WaitForLines(6, kWait));
    EXPECT_EQ(2, c.server.ConnectionCount());
}

TEST(ZymChatConnection, DestructionWhileWaitingClosesTheConnectionWithinAWait)
{
    Connected c("127.0.1.21");
    ASSERT_TRUE(c.LogIn());
    Stopwatch watch;
    c.chat.reset();
    EXPECT_LT(watch.ElapsedMs(), 1000);
    EXPECT_TRUE(c.server.WaitForClientClosed(kWait));
    EXPECT_EQ(0u, c.sink.Count());
}

TEST(ZymChatConnection, DestructionRightAfterConnectToServerEndsTheThread)
{
    FakeIrcServer server("127.0.1.22");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    for (int i = 0; i < 5; ++i)
    {
        // The object a host gets, not a subclass: destroying a subclass
        // rewrites the virtual table while the new thread may still be
        // calling Run through it.
        std::unique_ptr<ZymChat> chat(new ZymChat());
        chat->SetEventSink(&sink);
        chat->ConnectToServer(server.Address().c_str());
        Stopwatch watch;
        chat.reset();
        EXPECT_LT(watch.ElapsedMs(), 1000);
    }
}

TEST(ZymChatConnection, ASecondConnectToServerStartsNoSecondThread)
{
    Connected c("127.0.1.23");
    ASSERT_TRUE(c.server.IsListening());
    EXPECT_EQ(1, c.chat->ConnectToServer(c.server.Address().c_str()));
    EXPECT_EQ(1, c.chat->ConnectToServer(c.server.Address().c_str()));
    ASSERT_TRUE(c.server.WaitForLines(3, kWait));
    // A second thread would log in on a second connection, or a second time
    // on this one ahead of the nickname change.
    EXPECT_FALSE(c.server.WaitForConnections(2, 500));
    c.chat->SetNickname("alice2");
    ASSERT_TRUE(c.server.WaitForReceived("NICK alice2\r\n", kWait));
    EXPECT_EQ(1, c.server.ConnectionCount());
    EXPECT_EQ(4u, c.server.ReceivedLines().size());
    EXPECT_EQ(0u, c.sink.Count());
}

TEST(ZymChatConnection, AfterTheWelcomeConnectToServerIsIgnored)
{
    Connected c("127.0.1.24");
    c.chat->JoinChannel("#home", 0);
    ASSERT_TRUE(c.LogIn());
    c.server.SendLine(":irc.test 002 alice :Your host is irc.test");
    // The welcome is taken once the channel asked for before it is joined.
    ASSERT_TRUE(c.server.WaitForReceived("JOIN #home\r\n", kWait));
    c.server.CloseClient();
    ASSERT_TRUE(c.chat->ThreadEnded(kWait));
    EXPECT_EQ(0, c.chat->ConnectToServer(c.server.Address().c_str()));
    EXPECT_FALSE(c.server.WaitForConnections(2, 300));
}

TEST(ZymChatConnection, QuitSendsTheQuitLineBeforeItClosesTheConnection)
{
    Connected c("127.0.1.25");
    ASSERT_TRUE(c.LogIn());
    // Lines ahead of QUIT must go out first, one per wait.
    c.chat->sendTxt("ONE");
    c.chat->sendTxt("TWO");
    c.chat->Quit();
    EXPECT_TRUE(c.server.WaitForClientClosed(kWait));
    EXPECT_EQ("CAP LS 302\r\nNICK alice\r\nUSER ... 0 *  :...\r\nONE\r\nTWO\r\nQUIT\r\n", c.server.Received());
    EXPECT_TRUE(c.chat->ThreadEnded(kWait));
}

TEST(ZymChatConnection, QuitWaitsLongerWhenManyLinesAreAheadOfIt)
{
    Connected c("127.0.1.26");
    ASSERT_TRUE(c.LogIn());
    // Lines go out one per wait, and Quit gives up after 20 waits in which
    // none went out: a few more lines than that show that it waits as long
    // as they keep going out, not for a fixed time.
    const int kLines = 24;
    for (int i = 0; i < kLines; ++i)
        c.chat->sendTxt(("LINE " + std::to_string(i)).c_str());
    c.chat->Quit();
    EXPECT_TRUE(c.server.WaitForClientClosed(kWait));
    auto lines = c.server.ReceivedLines();
    ASSERT_EQ(kLines + 4u, lines.size());
    EXPECT_EQ("LINE " + std::to_string(kLines - 1), lines[kLines + 2]);
    EXPECT_EQ("QUIT", lines[kLines + 3]);
}

TEST(ZymChatConnection, AServerTextWithAPortReachesThatPortAndAPlainTextFollowsATlsOne)
{
    EventRecorder sink;
    TestChat chat;
    chat.SetEventSink(&sink);
    // Nothing listens there: the TLS attempt fails at its connect (natively,
    // without TLS, as a malformed text).
    chat.ConnectToServer("ircs://127.0.1.251:7001");
    ASSERT_TRUE(sink.WaitForError(-1001, kWait));
    ASSERT_TRUE(chat.ThreadEnded(kWait));

    FakeIrcServer server("127.0.1.37", 7002);
    ASSERT_TRUE(server.IsListening());
    chat.SetNickname("porter");
    EXPECT_EQ(1, chat.ConnectToServer("127.0.1.37:7002"));
    // Plain text on the wire: the socket is a plain one again.
    EXPECT_TRUE(server.WaitForReceived("NICK porter\r\nUSER ", kWait));
}

TEST(ZymChatConnection, TheFirstLineAfterAQuietSpellLeavesAtOnce)
{
    Connected c("127.0.1.35");
    ASSERT_TRUE(c.LogIn());
    // A line used to wait for the end of the current 100 ms wait, half of
    // that in the median; now queueing ends the wait.
    std::vector<long long> delays;
    for (int i = 0; i < 7; ++i)
    {
        PauseMs(150 + 13 * i);
        std::string line = "PRIVMSG #q :probe " + std::to_string(i);
        Stopwatch watch;
        c.chat->sendTxt(line.c_str());
        ASSERT_TRUE(c.server.WaitForReceived(line + "\r\n", kWait));
        delays.push_back(watch.ElapsedMs());
    }
    std::sort(delays.begin(), delays.end());
    EXPECT_LT(delays[3], 25);
}

TEST(ZymChatConnection, LinesQueuedInQuickSuccessionStillLeaveOneIntervalApart)
{
    Connected c("127.0.1.36");
    ASSERT_TRUE(c.LogIn());
    PauseMs(200);
    // Each line wakes the background thread, yet none may leave sooner than
    // 100 ms after the one before, or a burst would trip a server's flood
    // limit.
    Stopwatch watch;
    for (int i = 0; i < 5; ++i)
    {
        c.chat->sendTxt(("LINE " + std::to_string(i)).c_str());
        PauseMs(20);
    }
    ASSERT_TRUE(c.server.WaitForLines(8, kWait));
    // Four intervals between the first line and the fifth; the tick counter
    // may run up to one tick short.
    EXPECT_GE(watch.ElapsedMs(), 380);
}
