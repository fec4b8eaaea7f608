#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>

#include "AlertWatcher.h"
#include "FakeIrcServer.h"
#include "TestChat.h"

// A server that sends what it likes: floods, over-long lines, stray bytes,
// a connection cut mid-line. After each, the component must still answer a
// PING, still send the host's message, and the process must have grown by
// less than kMemoryBound.
//
// Addresses of this file's servers: 127.0.8.1 to 127.0.8.39.

namespace
{
    const int kWait = 5000;
    // Generous for a loaded machine under Wine; the answers normally come
    // within a second of the flood's end.
    const int kDrainWait = 30000;
    // Growth of the process's committed memory allowed across one flood.
    // What the component keeps is bounded by the joined channels: a flood
    // about other channels leaves nothing, and the names flood of the one
    // joined channel leaves its 20,000 members with their index: measured
    // under Wine, about 2,430 KB in the 32-bit build and 3,740 to 4,190 KB in
    // the 64-bit one, whose pointers and heap block headers are twice the
    // size.
    // The in-process server's record of what it received counts too.
    const size_t kMemoryBound = (sizeof(void*) == 4 ? 4u : 6u) * 1024u * 1024u;

    size_t CommittedBytes()
    {
        PROCESS_MEMORY_COUNTERS counters;
        counters.cb = sizeof(counters);
        if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
            return 0;
        return counters.PagefileUsage;
    }

    // Counts what the component reports without keeping it, so the test's
    // own memory does not grow with the flood.
    class CountingSink : public ChatEventSink
    {
    public:
        void NotifyEvent(int, int) override { ++nEvents; }
        void NotifyText(int, const char*) override { ++nTexts; }
        int ReportError(int, const char*) override
        {
            ++nErrors;
            return 0;
        }
        std::atomic<long> nEvents{0};
        std::atomic<long> nTexts{0};
        std::atomic<long> nErrors{0};
    };

    long CountOf(const std::string& text, const std::string& what)
    {
        long nCount = 0;
        for (size_t n = text.find(what); n != std::string::npos; n = text.find(what, n + 1))
            ++nCount;
        return nCount;
    }

    // A component logged in as alice, welcomed, and joined to #home, with
    // one attribute of its own.
    struct JoinedClient
    {
        explicit JoinedClient(const char* pszAddress) : server(pszAddress), chat(new TestChat())
        {
            chat->SetEventSink(&sink);
        }
        ~JoinedClient() { chat.reset(); }

        bool Start()
        {
            chat->SetNickname("alice");
            chat->SendAttributeUpdate("color", "blue");
            chat->JoinChannel("#home", 0);
            if (!server.IsListening() || chat->ConnectToServer(server.Address().c_str()) != 1 ||
                !server.WaitForLines(3, kWait))
                return false;
            server.SendLine(":irc.test 001 alice :Welcome");
            server.SendLine(":irc.test 002 alice :Your host is irc.test");
            if (!server.WaitForReceived("JOIN #home\r\n", kWait))
                return false;
            server.SendLine(":alice!a@127.0.0.1 JOIN :#home");
            return server.WaitForReceived("NOTICE #home :ZYMATTRIBREQUEST\r\n", kWait);
        }

        // Sends nLines lines made by makeLine, in chunks so that no single
        // send holds the server for long.
        void Flood(int nLines, const std::function<std::string(int)>& makeLine)
        {
            std::string chunk;
            for (int i = 0; i < nLines; ++i)
            {
                chunk += makeLine(i);
                chunk += "\r\n";
                if (chunk.size() > 16384)
                {
                    ASSERT_TRUE(server.Send(chunk));
                    chunk.clear();
                }
            }
            if (!chunk.empty())
            {
                ASSERT_TRUE(server.Send(chunk));
            }
        }

        // A PING answered and a host message sent; the seconds until the
        // PONG arrived, which is when the component has read everything
        // sent before the PING. The host's message then waits only behind
        // what is still queued, which must be little whatever was sent.
        double CheckStillServing(const std::string& tag)
        {
            auto start = std::chrono::steady_clock::now();
            server.SendLine("PING :" + tag);
            EXPECT_TRUE(server.WaitForReceived("PONG :" + tag + "\r\n", kDrainWait)) << tag;
            auto answered = std::chrono::steady_clock::now();
            EXPECT_EQ(1, chat->SendChannelMessage("#home", ("still here " + tag).c_str()));
            EXPECT_TRUE(server.WaitForReceived("PRIVMSG #home :still here " + tag + "\r\n", kWait));
            double queued =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - answered).count();
            EXPECT_LT(queued, 3.0) << tag;
            return std::chrono::duration<double>(answered - start).count();
        }

        CountingSink sink;
        FakeIrcServer server;
        std::unique_ptr<TestChat> chat;
    };

    struct FloodCase
    {
        const char* pszName;
        const char* pszAddress;
        int nLines;
        std::function<std::string(int)> makeLine;
        // A few nicknames of the flood, and how many of them are members of
        // #home once it is read: a NICK line from each is reported once per
        // channel it is a member of.
        const char* pszProbes;
        long nMembersProbed;
    };

    std::string Names(int nFirst, int nCount)
    {
        std::string names;
        for (int i = 0; i < nCount; ++i)
            names += "n" + std::to_string(nFirst + i) + " ";
        return names;
    }

    const FloodCase kFloods[] = {
        {"JoinsElsewhere", "127.0.8.1", 20000,
         [](int i) { return ":u" + std::to_string(i) + "!u@h JOIN :#other" + std::to_string(i); }, "u0 u10000 u19999", 0},
        {"JoinsAndPartsAtHome", "127.0.8.2", 20000,
         [](int i) {
             std::string nick = "u" + std::to_string(i / 2);
             return i % 2 == 0 ? ":" + nick + "!u@h JOIN :#home" : ":" + nick + "!u@h PART #home";
         }, "u0 u5000 u9999", 0},
        {"PartsElsewhere", "127.0.8.3", 20000,
         [](int i) { return ":u" + std::to_string(i) + "!u@h PART #other" + std::to_string(i); }, "u0 u10000 u19999", 0},
        {"JoinNickQuitAtHome", "127.0.8.4", 21000,
         [](int i) {
             std::string n = std::to_string(i / 3);
             switch (i % 3)
             {
             case 0:
                 return ":u" + n + "!u@h JOIN :#home";
             case 1:
                 return ":u" + n + "!u@h NICK :v" + n;
             default:
                 return ":v" + n + "!u@h QUIT :gone";
             }
         }, "u0 v0 v3500 v6999", 0},
        {"NickChangesOfStrangers", "127.0.8.5", 20000,
         [](int i) {
             return ":s" + std::to_string(i) + "!u@h NICK :t" + std::to_string(i);
         }, "s0 t0 t19999", 0},
        {"NamesElsewhere", "127.0.8.6", 2000,
         [](int i) { return ":irc.test 353 alice = #other" + std::to_string(i) + " :" + Names(i * 40, 40); }, "n0 n40000 n79999", 0},
        {"NamesAtHome", "127.0.8.7", 500,
         [](int i) { return ":irc.test 353 alice = #home :" + Names(i * 40, 40); }, "n0 n10000 n19999", 3},
        {"KicksAtHome", "127.0.8.8", 20000,
         [](int i) {
             std::string nick = "k" + std::to_string(i / 2);
             return i % 2 == 0 ? ":" + nick + "!u@h JOIN :#home"
                               : ":op!o@h KICK #home " + nick + " :out";
         }, "k0 k5000 k9999", 0},
    };

    void PrintTo(const FloodCase& flood, std::ostream* pStream)
    {
        *pStream << flood.pszName;
    }

    class HostileFlood : public ::testing::TestWithParam<FloodCase>
    {
    };
}

TEST_P(HostileFlood, LeavesTheComponentServingAndItsMemoryBounded)
{
    const FloodCase& flood = GetParam();
    JoinedClient s(flood.pszAddress);
    ASSERT_TRUE(s.Start());
    s.CheckStillServing("warm-up");
    size_t nBefore = CommittedBytes();

    auto start = std::chrono::steady_clock::now();
    s.Flood(flood.nLines, flood.makeLine);
    double sentIn =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double drain = s.CheckStillServing("after-flood");
    size_t nAfter = CommittedBytes();

    std::printf("flood %s: %d lines sent in %.2f s, drained %.2f s later; memory %lu KB before, "
                "%lu KB after\n",
                flood.pszName, flood.nLines, sentIn, drain,
                static_cast<unsigned long>(nBefore / 1024), static_cast<unsigned long>(nAfter / 1024));
    EXPECT_LT(nAfter, nBefore + kMemoryBound);

    long nTextsBefore = s.sink.nTexts.load();
    std::istringstream probes(flood.pszProbes);
    for (std::string nick; probes >> nick;)
        s.server.SendLine(":" + nick + "!u@h NICK :" + nick + "-probed");
    s.CheckStillServing("probed");
    EXPECT_EQ(flood.nMembersProbed, s.sink.nTexts.load() - nTextsBefore);
    EXPECT_EQ(0, s.sink.nErrors.load());
}

INSTANTIATE_TEST_SUITE_P(ZymChatHostileServer, HostileFlood, ::testing::ValuesIn(kFloods),
                         [](const ::testing::TestParamInfo<FloodCase>& info) {
                             return std::string(info.param.pszName);
                         });

TEST(ZymChatHostileServer, APingFloodIsAnsweredForItsLatestPingWithoutAQueueOfAnswers)
{
    JoinedClient s("127.0.8.20");
    ASSERT_TRUE(s.Start());
    size_t nBefore = CommittedBytes();
    const int nPings = 20000;
    auto start = std::chrono::steady_clock::now();
    s.Flood(nPings, [](int i) { return "PING :p" + std::to_string(i); });
    double sentIn =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_TRUE(s.server.WaitForReceived("PONG :p" + std::to_string(nPings - 1) + "\r\n", kDrainWait));
    double latest =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() - sentIn;
    double drain = s.CheckStillServing("after-pings");
    size_t nAfter = CommittedBytes();
    long nPongs = CountOf(s.server.Received(), "PONG :p");

    std::printf("flood Pings: %d lines sent in %.2f s, latest answered %.2f s later, %ld answers "
                "in all, check drained %.2f s; memory %lu KB before, %lu KB after\n",
                nPings, sentIn, latest, nPongs, drain, static_cast<unsigned long>(nBefore / 1024),
                static_cast<unsigned long>(nAfter / 1024));
    // Limited by how fast the receive loop reads, not by queued answers.
    EXPECT_LT(latest, 10.0);
    EXPECT_LT(nPongs, nPings / 2);
    EXPECT_LT(nAfter, nBefore + kMemoryBound);
}

TEST(ZymChatHostileServer, PingsOnEveryTurnHoldBackNoQueuedLine)
{
    JoinedClient s("127.0.8.25");
    ASSERT_TRUE(s.Start());
    // A PING every 50 ms: each wait of the receive loop ends with one, so
    // an answer is always waiting when the loop sends its next line.
    bool bSent = false;
    int nPings = 0;
    for (; nPings < 60 && !bSent; ++nPings)
    {
        ASSERT_TRUE(s.server.SendLine("PING :t" + std::to_string(nPings)));
        if (nPings == 5)
        {
            EXPECT_EQ(1, s.chat->SendChannelMessage("#home", "amid pings"));
        }
        Sleep(50);
        bSent = s.server.Received().find("PRIVMSG #home :amid pings\r\n") != std::string::npos;
    }
    EXPECT_TRUE(bSent) << "the message was held back by " << nPings << " PINGs";
    EXPECT_TRUE(s.server.WaitForReceived("PONG :t" + std::to_string(nPings - 1) + "\r\n", kWait));
}

TEST(ZymChatHostileServer, RepeatedAttributeRequestsAreAnsweredWithoutAQueueOfAnswers)
{
    JoinedClient s("127.0.8.21");
    ASSERT_TRUE(s.Start());
    size_t nBefore = CommittedBytes();
    const int nRequests = 20000;
    auto start = std::chrono::steady_clock::now();
    s.Flood(nRequests, [](int) { return ":bob!b@h NOTICE #home :ZYMATTRIBREQUEST"; });
    double sentIn =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double drain = s.CheckStillServing("after-requests");
    size_t nAfter = CommittedBytes();
    long nAnswers = CountOf(s.server.Received(), "ZYMATTRIBUPDATE color blue");

    std::printf("flood AttributeRequests: %d lines sent in %.2f s, drained %.2f s later, %ld "
                "answers; memory %lu KB before, %lu KB after\n",
                nRequests, sentIn, drain, nAnswers, static_cast<unsigned long>(nBefore / 1024),
                static_cast<unsigned long>(nAfter / 1024));
    // A request is answered only once the answers to an earlier one have
    // gone out: fewer answers than requests, and none left queued.
    EXPECT_LT(nAnswers, nRequests / 2);
    EXPECT_LT(nAfter, nBefore + kMemoryBound);
}

TEST(ZymChatHostileServer, LinesAtAndPastEveryLengthLimitRaiseNoAlertAndBreakNothing)
{
    JoinedClient s("127.0.8.22");
    ASSERT_TRUE(s.Start());
    size_t nBefore = CommittedBytes();
    AlertWatcher watcher(6000);

    // Our join confirmed under a 491-character name: the announcement of
    // our attribute and the request for the others' would not fit a line.
    s.chat->JoinChannel("#long", 0);
    ASSERT_TRUE(s.server.WaitForReceived("JOIN #long\r\n", kWait));
    const std::string longChannel = "#long" + std::string(486, '7');
    const std::string lines[] = {
        ":alice!a@127.0.0.1 JOIN :" + longChannel,
        ":bob!b@h NOTICE " + longChannel + " :ZYMATTRIBREQUEST",
        ":bob!b@h PRIVMSG #home :" + std::string(490, 'm'),
        ":bob!b@h PRIVMSG #home :" + std::string(8100, 'm'),
        ":bob!b@h PRIVMSG #home :" + std::string(9000, 'm'),
        ":bob!b@h NOTICE #home :ZYMATTRIBUPDATE " + std::string(300, 'k') + " " +
            std::string(300, 'v'),
        ":irc.test 353 alice = #home :" + std::string(8000, 'n'),
        ":" + std::string(600, 'x') + "!u@h NICK :" + std::string(600, 'y'),
        ":bob!b@h INVITE alice :" + std::string(1000, '#'),
        ":irc.test 372 alice :- " + std::string(2000, 'w'),
        ":irc.test 322 alice " + std::string(3000, '#'),
        std::string(20000, 'z'),
    };
    for (const std::string& line : lines)
        ASSERT_TRUE(s.server.SendLine(line));
    // One PING at a time: a newer one replaces an answer still waiting.
    for (const std::string& token :
         {std::string(504, 'a'), std::string(505, 'b'), std::string(8000, 'c')})
    {
        s.server.SendLine("PING :" + token);
        EXPECT_TRUE(
            s.server.WaitForReceived("PONG :" + token.substr(0, 504) + "\r\n", kWait));
    }

    // The long name itself fits a message line.
    EXPECT_EQ(1, s.chat->SendChannelMessage("#long", "long hi"));
    EXPECT_TRUE(s.server.WaitForReceived("PRIVMSG " + longChannel + " :long hi\r\n", kWait));
    EXPECT_FALSE(watcher.Result().bFound) << watcher.Result().text;
    for (const std::string& line : s.server.ReceivedLines())
        EXPECT_LE(line.size(), 510u);
    EXPECT_EQ(std::string::npos, s.server.Received().find("NOTICE " + longChannel));

    s.CheckStillServing("after-long-lines");
    EXPECT_LT(CommittedBytes(), nBefore + kMemoryBound);
}

TEST(ZymChatHostileServer, NulBytesBareCarriageReturnsAndLinesWithoutCrLfAreSurvived)
{
    JoinedClient s("127.0.8.23");
    ASSERT_TRUE(s.Start());
    size_t nBefore = CommittedBytes();

    std::string bytes;
    bytes += std::string("PING :nul\0after\r\n", 17);
    bytes += std::string("\0\0\0\r\n", 5);
    bytes += "PING :bare\rcr\r\n";
    bytes += "\r\r\r\r\n";
    bytes += ":bob!b@h PRIVMSG #home :one\rPRIVMSG #home :two\r\n";
    ASSERT_TRUE(s.server.Send(bytes));
    EXPECT_TRUE(s.server.WaitForReceived("PONG :nul\r\n", kWait));

    // Lines ended by LF alone, then bytes with no line end at all: held up
    // to the line limit and dropped, never a command of their own.
    std::string noCrLf;
    for (int i = 0; i < 2000; ++i)
        noCrLf += "PING :lf" + std::to_string(i) + "\n";
    ASSERT_TRUE(s.server.Send(noCrLf));
    ASSERT_TRUE(s.server.Send(std::string(200000, 'q')));
    ASSERT_TRUE(s.server.Send("\r\n"));

    s.CheckStillServing("after-stray-bytes");
    std::string received = s.server.Received();
    EXPECT_EQ(std::string::npos, received.find("PONG :lf"));
    EXPECT_EQ(std::string::npos, received.find("bare\r"));
    for (const std::string& line : s.server.ReceivedLines())
        EXPECT_EQ(std::string::npos, line.find('\r'));
    EXPECT_LT(CommittedBytes(), nBefore + kMemoryBound);
}

TEST(ZymChatHostileServer, AServerThatClosesMidLineEndsTheConnectionQuietlyAndANewOneServes)
{
    FakeIrcServer server("127.0.8.24");
    ASSERT_TRUE(server.IsListening());
    CountingSink sink;
    std::unique_ptr<TestChat> chat(new TestChat());
    chat->SetEventSink(&sink);
    chat->SetNickname("alice");
    chat->JoinChannel("#home", 0);
    ASSERT_EQ(1, chat->ConnectToServer(server.Address().c_str()));
    ASSERT_TRUE(server.WaitForLines(3, kWait));
    size_t nBefore = CommittedBytes();

    // The answer to the line ahead shows that the part line was read before
    // the close.
    server.Send("PING :first\r\n:irc.test 001 alice :Wel");
    ASSERT_TRUE(server.WaitForReceived("PONG :first\r\n", kWait));
    server.CloseClient();
    ASSERT_TRUE(chat->ThreadEnded(kWait));
    EXPECT_EQ(0, sink.nErrors.load());
    EXPECT_EQ(0, sink.nTexts.load());

    // Not welcomed yet: the host may close its side and connect again, and
    // the new connection logs in and serves.
    chat->Quit();
    ASSERT_EQ(1, chat->ConnectToServer(server.Address().c_str()));
    ASSERT_TRUE(server.WaitForConnections(2, kWait));
    ASSERT_TRUE(server.WaitForLines(6, kWait));
    server.SendLine(":irc.test 002 alice :Your host");
    ASSERT_TRUE(server.WaitForReceived("JOIN #home\r\n", kWait));
    server.SendLine(":alice!a@h JOIN :#home");
    server.SendLine("PING :second");
    EXPECT_TRUE(server.WaitForReceived("PONG :second\r\n", kWait));
    EXPECT_EQ(1, chat->SendChannelMessage("#home", "back"));
    EXPECT_TRUE(server.WaitForReceived("PRIVMSG #home :back\r\n", kWait));
    EXPECT_LT(CommittedBytes(), nBefore + kMemoryBound);
    EXPECT_EQ(0, sink.nErrors.load());
    // The Quit without a connection left no QUIT to go out ahead of the
    // second login.
    EXPECT_EQ(std::string::npos, server.Received().find("QUIT"));
}
