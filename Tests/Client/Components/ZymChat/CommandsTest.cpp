#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChannelEntry.h"
#include "ChatUnderTest.h"

namespace
{
    typedef std::vector<std::string> Lines;

    class Commands : public ::testing::Test
    {
    protected:
        Commands() : chat(sink) {}

        EventRecorder sink;
        ChatUnderTest chat;
    };
}

TEST_F(Commands, ChannelMessageNeedsAConfirmedJoin)
{
    EXPECT_EQ(-1, chat.SendChannelMessage("#nowhere", "x"));
    chat.JoinChannel("#room", 0);
    EXPECT_EQ(-1, chat.SendChannelMessage("#room", "before the welcome"));
    chat.Welcome();
    EXPECT_EQ(-1, chat.SendChannelMessage("#room", "while joining"));
    EXPECT_EQ(Lines{"JOIN #room"}, chat.TakeQueued());

    chat.Dispatch(":me!u@h JOIN :#room5");
    chat.TakeQueued();
    EXPECT_EQ(1, chat.SendChannelMessage("#room", "hello: world"));
    EXPECT_EQ(1, chat.SendChannelMessage("#room", ""));
    EXPECT_EQ((Lines{"PRIVMSG #room5 :hello: world", "PRIVMSG #room5 :"}), chat.TakeQueued());
}

TEST_F(Commands, NothingButTheTableChangesBeforeTheWelcome)
{
    chat.JoinChannel("#room", 0);
    chat.SendPrivateMessage("#room", "x", nullptr);
    chat.SendPrivateMessage(nullptr, "x", "bob");
    chat.SendNotice("#room", "x", nullptr);
    chat.SendInvite("#room", "bob");
    chat.SendAttributeUpdate("k", "v");
    chat.ListChannels();
    chat.SetNickname("newme");
    EXPECT_TRUE(chat.TakeQueued().empty());
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_EQ("newme", chat.Nickname());

    // Modes need no welcome.
    chat.SetMode("#room", "+t", nullptr);
    chat.SetMode("bob", "+o", "#room");
    EXPECT_EQ((Lines{"MODE #room +t", "MODE bob +o #room"}), chat.TakeQueued());
}

TEST_F(Commands, NoticeGoesOnlyToAConfirmedChannelUnderItsServerName)
{
    chat.Welcome();
    chat.JoinConfirmed("#room", "#room5");
    chat.SendNotice("#room", "by host name", nullptr);
    chat.SendNotice("#room5", "by server name", nullptr);
    chat.SendNotice("#room", "to one", "bob");
    chat.SendNotice("bob", "to a nickname", nullptr);
    chat.SendNotice("#elsewhere", "unknown", nullptr);
    chat.SendNotice(nullptr, "null", nullptr);
    EXPECT_EQ((Lines{"NOTICE #room5 :by host name", "NOTICE #room5 :by server name",
                     "NOTICE #room5 bob :to one"}),
              chat.TakeQueued());
}

TEST_F(Commands, PrivateMessageGoesToTheChannelOrTheNickname)
{
    chat.Welcome();
    chat.JoinConfirmed("#room", "#room5");
    chat.SendPrivateMessage("#room", "to the channel", nullptr);
    chat.SendPrivateMessage("#elsewhere", "unknown", nullptr);
    chat.SendPrivateMessage(nullptr, "nothing", nullptr);
    chat.SendPrivateMessage("#room", "to bob", "bob");
    EXPECT_EQ((Lines{"PRIVMSG #room5 :to the channel", "PRIVMSG bob :to bob"}),
              chat.TakeQueued());
}

TEST_F(Commands, InvitationNamesTheServersChannel)
{
    chat.Welcome();
    chat.JoinConfirmed("#room", "#room5");
    chat.SendInvite("#room", "bob");
    chat.SendInvite("#elsewhere", "bob");
    EXPECT_EQ(Lines{"INVITE bob #room5"}, chat.TakeQueued());
}

TEST_F(Commands, AttributeUpdateGoesToEveryJoinedChannelInTableOrder)
{
    chat.Welcome();
    chat.JoinConfirmed("#a", "#a1");
    chat.JoinChannel("#pending", 0);
    chat.JoinConfirmed("#b", "#b");
    chat.TakeQueued();

    chat.SendAttributeUpdate("status", "away");
    EXPECT_EQ((Lines{"NOTICE #a1 :ZYMATTRIBUPDATE status away",
                     "NOTICE #b :ZYMATTRIBUPDATE status away"}),
              chat.TakeQueued());
}

TEST_F(Commands, AttributeSetAgainMovesToTheEndAndKeepsTheNewValue)
{
    chat.SendAttributeUpdate("one", "1");
    chat.SendAttributeUpdate("two", "2");
    chat.SendAttributeUpdate("one", "uno");
    chat.Welcome();
    chat.JoinChannel("#a", 0);
    chat.Dispatch(":me!u@h JOIN :#a");
    EXPECT_EQ((Lines{"JOIN #a", "NOTICE #a :ZYMATTRIBUPDATE two 2",
                     "NOTICE #a :ZYMATTRIBUPDATE one uno", "NOTICE #a :ZYMATTRIBREQUEST"}),
              chat.TakeQueued());
}

TEST_F(Commands, ListBeforeTheWelcomeWaitsForIt)
{
    chat.ListChannels();
    chat.ListChannels();
    EXPECT_TRUE(sink.Events().empty());
    chat.Welcome();
    EXPECT_EQ(Lines{"LIST"}, chat.TakeQueued());
    ASSERT_EQ(1u, sink.Events().size());

    chat.ListChannels();
    std::vector<RecordedEvent> calls = sink.Events();
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(CHAT_EVENT_LIST_START, calls[1].nCode);
    EXPECT_TRUE(calls[1].bNullText);
    EXPECT_EQ(Lines{"LIST"}, chat.TakeQueued());
}

TEST_F(Commands, NamesRequestNotifiesFirstAndAsksOnlyForAConfirmedChannel)
{
    chat.OpenLog("chatlogic-commands-names.log");
    chat.RequestNames("#room");
    EXPECT_EQ(Lines{"#room"}, sink.Texts(CHAT_EVENT_NAMES));
    EXPECT_TRUE(chat.TakeQueued().empty());
    EXPECT_NE(std::string::npos,
              chat.LogText().find("---> Got a name request for a channel we don't think we're in: "
                                  "#room, "));

    chat.Welcome();
    chat.JoinConfirmed("#room", "#room5");
    chat.RequestNames("#room");
    chat.RequestNames(nullptr);
    EXPECT_EQ(Lines{"NAMES #room5"}, chat.TakeQueued());
    std::vector<RecordedEvent> calls = sink.Events();
    ASSERT_EQ(3u, calls.size());
    EXPECT_EQ(CHAT_EVENT_NAMES, calls[2].nCode);
    EXPECT_TRUE(calls[2].bNullText);
}

TEST_F(Commands, NicknameChangeIsSentOnlyOnceWelcomedAndOverlongOnesAreRefused)
{
    chat.Welcome();
    chat.SetNickname("other");
    EXPECT_EQ("other", chat.Nickname());
    EXPECT_EQ(Lines{"NICK other"}, chat.TakeQueued());

    // The longest line the send path takes is 510 characters before its
    // CR LF: "NICK " leaves 505 for the nickname.
    chat.SetNickname(std::string(506, 'n').c_str());
    chat.SetNickname(nullptr);
    EXPECT_EQ("other", chat.Nickname());
    EXPECT_TRUE(chat.TakeQueued().empty());

    std::string longest(505, 'n');
    chat.SetNickname(longest.c_str());
    EXPECT_EQ(longest, chat.Nickname());
    EXPECT_EQ(Lines{"NICK " + longest}, chat.TakeQueued());
}
