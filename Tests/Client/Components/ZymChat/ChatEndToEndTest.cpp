#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeIrcServer.h"
#include "EventRecorder.h"
#include "ZymChat.h"

// Addresses of this file's servers: 127.0.2.1 to 127.0.2.9.

namespace
{
    typedef std::vector<std::string> Lines;
    const int kWait = 3000;

    std::string Framed(const Lines& lines)
    {
        std::string bytes;
        for (const std::string& line : lines)
            bytes += line + "\r\n";
        return bytes;
    }

    // A component logged in as alice on its own fake server, with #lobby
    // asked for before the welcome and confirmed as #lobby2.
    class EndToEnd : public ::testing::Test
    {
    protected:
        void LogInAndJoin(const char* pszAddress)
        {
            server.reset(new FakeIrcServer(pszAddress));
            ASSERT_TRUE(server->IsListening());
            chat.reset(new ZymChat());
            chat->SetEventSink(&sink);
            chat->SetNickname("alice");
            chat->SetUserName("al");
            chat->SetRealName("Alice A");
            chat->SendAttributeUpdate("color", "blue");
            chat->JoinChannel("#lobby", 0);
            ASSERT_EQ(1, chat->ConnectToServer(server->Address().c_str()));
            ASSERT_TRUE(server->WaitForLines(3, kWait));

            server->Send(":irc.test 001 alice :Welcome\r\n:irc.test 002 alice :Your host\r\n");
            ASSERT_TRUE(server->WaitForLines(4, kWait));
            server->SendLine(":alice!al@127.0.0.1 JOIN :#lobby2");
            ASSERT_TRUE(server->WaitForLines(6, kWait));
        }

        void TearDown() override
        {
            chat.reset();
            server.reset();
        }

        EventRecorder sink;
        std::unique_ptr<FakeIrcServer> server;
        std::unique_ptr<ZymChat> chat;
    };
}

TEST_F(EndToEnd, JoinBeforeTheWelcomeThenTalkUnderTheServersChannelName)
{
    LogInAndJoin("127.0.2.1");
    EXPECT_EQ(1, chat->SendChannelMessage("#lobby", "hello"));
    ASSERT_TRUE(server->WaitForLines(7, kWait));
    EXPECT_EQ(Framed({"CAP LS 302", "NICK alice", "USER al 0 *  :Alice A", "JOIN #lobby",
                      "NOTICE #lobby2 :ZYMATTRIBUPDATE color blue",
                      "NOTICE #lobby2 :ZYMATTRIBREQUEST", "PRIVMSG #lobby2 :hello"}),
              server->Received());

    server->Send(":bob!b@h PRIVMSG #lobby2 :hi alice\r\n"
                 ":bob!b@h NOTICE #lobby2 :ZYMATTRIBUPDATE url http://x.test:80/\r\n");
    EXPECT_TRUE(sink.WaitForText(CHAT_EVENT_MESSAGE, "#lobby bob hi alice", kWait));
    EXPECT_TRUE(sink.WaitForText(CHAT_EVENT_ATTRIBUTE, "#lobby bob url http://x.test:80/", kWait));
}

TEST_F(EndToEnd, CommandsIssuedTogetherArriveWholeAndInOrder)
{
    LogInAndJoin("127.0.2.2");
    chat->SendChannelMessage("#lobby", "one");
    chat->SendInvite("#lobby", "bob");
    chat->SendNotice("#lobby", "three", "bob");
    chat->SetMode("#lobby2", "+t", nullptr);
    chat->LeaveChannel("#lobby");
    ASSERT_TRUE(server->WaitForLines(11, kWait));
    Lines lines = server->ReceivedLines();
    EXPECT_EQ((Lines{"PRIVMSG #lobby2 :one", "INVITE bob #lobby2", "NOTICE #lobby2 bob :three",
                     "MODE #lobby2 +t", "PART #lobby2"}),
              Lines(lines.begin() + 6, lines.end()));
}

TEST_F(EndToEnd, AttributeRequestAndMembersFromTheServer)
{
    LogInAndJoin("127.0.2.3");
    server->Send(":irc.test 353 alice = #lobby2 :alice @bob\r\n"
                 ":irc.test 353 alice = #lobby2 :alice @bob\r\n"
                 ":bob!b@h NOTICE #lobby2 :ZYMATTRIBREQUEST\r\n"
                 ":bob!b@h NICK :robert\r\n");
    ASSERT_TRUE(server->WaitForLines(7, kWait));
    EXPECT_EQ("NOTICE #lobby2 :ZYMATTRIBUPDATE color blue", server->ReceivedLines()[6]);
    ASSERT_TRUE(sink.WaitForText(CHAT_EVENT_NICK, "bob robert #lobby", kWait));
    EXPECT_EQ(Lines{"bob robert #lobby"}, sink.Texts(CHAT_EVENT_NICK));
    EXPECT_EQ((Lines{"#lobby alice", "#lobby @bob", "#lobby alice", "#lobby @bob"}),
              sink.Texts(CHAT_EVENT_MEMBER));
}

TEST(EndToEndErrors, NicknameInUseAnsweredNonzeroClearsItAndTheConnectionGoesOn)
{
    FakeIrcServer server("127.0.2.4");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink(1);
    {
        ZymChat chat;
        chat.SetEventSink(&sink);
        chat.SetNickname("alice");
        ASSERT_EQ(1, chat.ConnectToServer(server.Address().c_str()));
        ASSERT_TRUE(server.WaitForLines(3, kWait));

        server.SendLine(":irc.test 433 * alice :Nickname is already in use");
        ASSERT_TRUE(sink.WaitForError(433, kWait));
        server.SendLine("PING :still-there");
        ASSERT_TRUE(server.WaitForLines(4, kWait));
        EXPECT_EQ("PONG :still-there", server.ReceivedLines()[3]);

        // With the nickname cleared, a JOIN under the old one is another user's.
        chat.JoinChannel("#x", 0);
        server.SendLine(":irc.test 002 * :Your host");
        ASSERT_TRUE(server.WaitForLines(5, kWait));
        EXPECT_EQ("JOIN #x", server.ReceivedLines()[4]);
        server.SendLine(":alice!a@h JOIN :#x");
        server.SendLine("PING :after-join");
        ASSERT_TRUE(server.WaitForLines(6, kWait));
        EXPECT_EQ("PONG :after-join", server.ReceivedLines()[5]);
        EXPECT_EQ(-1, chat.SendChannelMessage("#x", "not joined"));
    }
    std::vector<RecordedEvent> errors = sink.Errors();
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("433-Nickname in use", errors[0].text);
}
