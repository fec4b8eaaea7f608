#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChatUnderTest.h"

namespace
{
    typedef std::vector<std::string> Lines;

    // A welcomed component that joined #lobby, which the server calls #lobby12.
    class Inbound : public ::testing::Test
    {
    protected:
        Inbound() : chat(sink)
        {
            chat.Welcome();
            chat.JoinConfirmed("#lobby", "#lobby12");
            sink.Clear();
        }

        EventRecorder sink;
        ChatUnderTest chat;
    };
}

TEST_F(Inbound, ChannelMessageReachesTheHostUnderItsOwnChannelName)
{
    chat.Dispatch(":bob!bob@10.0.0.1 PRIVMSG #lobby12 :hello there: friend");
    EXPECT_EQ(Lines{"#lobby bob hello there: friend"}, sink.Texts(CHAT_EVENT_MESSAGE));
}

TEST_F(Inbound, PrivateMessageHoldingAChannelWordIsNoChannelMessage)
{
    chat.Dispatch(":bob!bob@h PRIVMSG me :meet me in #lobby12 now");
    chat.Dispatch(":bob!bob@h PRIVMSG me :#lobby12");
    EXPECT_TRUE(sink.Events().empty());
}

// Lines about a channel we are not in reach the host as nothing, are logged,
// and leave no member behind: joined later, the channel has none of them.
TEST_F(Inbound, LinesForAChannelNotJoinedAreOnlyLogged)
{
    struct Case
    {
        const char* pszLine;
        const char* pszLogged;
    };
    const Case cases[] = {
        {":bob!bob@h PRIVMSG #far :hi", "---> Received message from a channel we're not in: #far, "},
        {":bob!bob@h JOIN :#far", "---> We just got a join from a channel we don't think we're in: #far, "},
        {":bob!bob@h PART #far :bye",
         "---> Just got a PART message from a channel we don't think we're in: #far, "},
        {":irc.test 353 me = #far :bob", "---> Got a name for a channel we don't think we're in: #far, "},
    };
    int nCase = 0;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszLine);
        EventRecorder caseSink;
        ChatUnderTest fresh(caseSink);
        fresh.Welcome();
        fresh.JoinConfirmed("#lobby", "#lobby12");
        fresh.OpenLog(("chatlogic-inbound-far" + std::to_string(nCase++) + ".log").c_str());
        fresh.Dispatch(c.pszLine);
        EXPECT_TRUE(caseSink.Events().empty());
        EXPECT_TRUE(fresh.TakeQueued().empty());
        EXPECT_NE(std::string::npos, fresh.LogText().find(c.pszLogged));
        fresh.JoinConfirmed("#far", "#far");
        EXPECT_EQ(Lines(), fresh.ChannelsOf("bob"));
    }
}

TEST_F(Inbound, LinesWithoutSenderOrCommandAreDropped)
{
    chat.Dispatch("");
    chat.Dispatch(":bob!bob@h");
    chat.Dispatch("PRIVMSG #lobby12 :no sender");
    chat.Dispatch(":irc.test PRIVMSG #lobby12 :no nickname");
    chat.Dispatch(":bob!bob@h PRIVMSG #lobby12 no colon");
    chat.DispatchLine(nullptr);
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_TRUE(chat.TakeQueued().empty());
}

TEST_F(Inbound, OnlyTheCommandWordRoutesALine)
{
    // A notice whose text holds PRIVMSG is a notice.
    chat.Dispatch(":bob!bob@h NOTICE #lobby12 :ZYMATTRIBUPDATE verb PRIVMSG");
    EXPECT_TRUE(sink.Texts(CHAT_EVENT_MESSAGE).empty());
    EXPECT_EQ(Lines{"#lobby bob verb PRIVMSG"}, sink.Texts(CHAT_EVENT_ATTRIBUTE));

    // A names reply listing a nickname that holds NICK is a names reply.
    sink.Clear();
    chat.Dispatch(":irc.test 353 me = #lobby12 :me NICKel");
    EXPECT_EQ((Lines{"#lobby me", "#lobby NICKel"}), sink.Texts(CHAT_EVENT_MEMBER));

    // A message from a nickname that holds JOIN is a message.
    sink.Clear();
    chat.Dispatch(":JOINer!j@h PRIVMSG #lobby12 :PART of it");
    EXPECT_EQ(Lines{"#lobby JOINer PART of it"}, sink.Texts(CHAT_EVENT_MESSAGE));
    EXPECT_EQ(Lines(), chat.ChannelsOf("JOINer"));

    // A command word that only begins like a routed one routes nowhere.
    sink.Clear();
    chat.Dispatch(":bob!bob@h PRIVMSGS #lobby12 :hi");
    EXPECT_TRUE(sink.Events().empty());
}

TEST(InboundRouting, PartFromAChannelNamedWithJoinIsAPart)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinConfirmed("#JOINers", "#JOINers");
    chat.Dispatch(":bob!bob@h JOIN :#JOINers");
    sink.Clear();

    chat.Dispatch(":bob!bob@h PART #JOINers");
    EXPECT_EQ(Lines{"#JOINers bob"}, sink.Texts(CHAT_EVENT_PART));
    EXPECT_EQ(Lines(), chat.ChannelsOf("bob"));
}

TEST(InboundRouting, NicknameBeginningWithNickIsWelcomed)
{
    EventRecorder sink;
    ChatUnderTest chat(sink, "NICKolas");
    chat.JoinChannel("#lobby", 0);
    chat.Dispatch(":irc.test 002 NICKolas :Your host is irc.test");
    EXPECT_EQ(Lines{"JOIN #lobby"}, chat.TakeQueued());

    chat.Dispatch(":NICKolas!n@h JOIN :#lobby");
    EXPECT_EQ("#lobby", chat.SendsTo("#lobby"));
}

TEST(InboundRouting, PingWithOrWithoutPrefixIsAnswered)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Dispatch("PING :irc.test");
    EXPECT_EQ((Lines{"PONG :irc.test"}), chat.TakeQueued());
    chat.Dispatch(":irc.test PING :token2");
    EXPECT_EQ((Lines{"PONG :token2"}), chat.TakeQueued());
    EXPECT_TRUE(sink.Events().empty());
}

TEST_F(Inbound, AttributeValueKeepsItsColons)
{
    chat.Dispatch(":bob!bob@h NOTICE #lobby12 :ZYMATTRIBUPDATE homepage http://example.test:8080/x");
    chat.Dispatch(":bob!bob@h NOTICE me :ZYMATTRIBUPDATE #lobby12 12:30:05");
    EXPECT_EQ((Lines{"#lobby bob homepage http://example.test:8080/x", "lobby bob 12:30:05"}),
              sink.Texts(CHAT_EVENT_ATTRIBUTE));
}

TEST_F(Inbound, AttributeNoticesNeedThreeWordsAndAKnownChannel)
{
    chat.Dispatch(":bob!bob@h NOTICE #lobby12 :ZYMATTRIBUPDATE lonely");
    chat.Dispatch(":bob!bob@h NOTICE me :ZYMATTRIBUPDATE #lobby12");
    chat.Dispatch(":bob!bob@h NOTICE #other :ZYMATTRIBUPDATE k v");
    chat.Dispatch(":bob!bob@h NOTICE me :ZYMATTRIBUPDATE #other v");
    chat.Dispatch(":bob!bob@h NOTICE #lobby12 :just talking here");
    chat.Dispatch(":irc.test NOTICE me :*** Looking up your hostname");
    chat.Dispatch(":bob!bob@h NOTICE #lobby12 no body");
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_TRUE(chat.TakeQueued().empty());
}

// The answer is a plain channel notice: a word between target and text
// would be taken by the server as the text.
TEST_F(Inbound, AttributeRequestIsAnsweredToTheChannelWithEveryOwnAttribute)
{
    chat.SendAttributeUpdate("color", "blue");
    chat.SendAttributeUpdate("mood", "calm");
    chat.TakeQueued();

    chat.Dispatch(":bob!bob@h NOTICE #lobby12 :ZYMATTRIBREQUEST");
    EXPECT_EQ((Lines{"NOTICE #lobby12 :ZYMATTRIBUPDATE color blue",
                     "NOTICE #lobby12 :ZYMATTRIBUPDATE mood calm"}),
              chat.TakeQueued());
    EXPECT_TRUE(sink.Events().empty());
}

TEST_F(Inbound, InvitationNamesTheInviterAndTheChannelAsWritten)
{
    chat.Dispatch(":bob!bob@h INVITE me :#secret7");
    chat.Dispatch(":carol!c@h INVITE me #den");
    chat.Dispatch(":dave!d@h INVITE me nochannel");
    EXPECT_EQ((Lines{"bob #secret7", "carol #den"}), sink.Texts(CHAT_EVENT_INVITE));
}

TEST(InboundJoin, OwnJoinIsConfirmedWithOrWithoutColon)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinChannel("#colon", 0);
    chat.Dispatch(":me!u@127.0.0.1 JOIN :#colon");
    chat.JoinChannel("#bare", 0);
    chat.Dispatch(":ME!u@127.0.0.1 JOIN #bare3");

    EXPECT_TRUE(sink.Events().empty());
    EXPECT_EQ("#colon", chat.SendsTo("#colon"));
    EXPECT_EQ("#bare3", chat.SendsTo("#bare"));
    EXPECT_EQ("#bare", chat.ReachesHostAs("#bare3"));
}

TEST_F(Inbound, OtherUsersJoinIsReportedAndRecordedInEitherForm)
{
    chat.Dispatch(":bob!bob@h JOIN :#lobby12");
    chat.Dispatch(":carol!c@h JOIN #lobby12 carolaccount :Carol C");
    EXPECT_EQ((Lines{"#lobby bob", "#lobby carol"}), sink.Texts(CHAT_EVENT_MEMBER));
    EXPECT_EQ(Lines{"#lobby"}, chat.ChannelsOf("bob"));
    EXPECT_EQ(Lines{"#lobby"}, chat.ChannelsOf("carol"));
}

TEST_F(Inbound, OtherUsersPartWithReasonReachesTheHost)
{
    chat.Dispatch(":bob!bob@h JOIN :#lobby12");
    sink.Clear();
    chat.Dispatch(":bob!bob@h PART #lobby12 :gone fishing");
    EXPECT_EQ(Lines{"#lobby bob"}, sink.Texts(CHAT_EVENT_PART));
    EXPECT_EQ(Lines(), chat.ChannelsOf("bob"));

    // A member never seen joining may leave too.
    chat.Dispatch(":zed!z@h PART #lobby12");
    EXPECT_EQ((Lines{"#lobby bob", "#lobby zed"}), sink.Texts(CHAT_EVENT_PART));
}

TEST_F(Inbound, PartWithAColonBeforeTheChannelIsAPartOfThatChannel)
{
    chat.Dispatch(":bob!bob@h JOIN :#lobby12");
    sink.Clear();
    chat.Dispatch(":bob!bob@h PART :#lobby12");
    EXPECT_EQ(Lines{"#lobby bob"}, sink.Texts(CHAT_EVENT_PART));
    EXPECT_EQ(Lines(), chat.ChannelsOf("bob"));

    chat.LeaveChannel("#lobby");
    EXPECT_EQ(Lines{"PART #lobby12"}, chat.TakeQueued());
    chat.Dispatch(":me!user@127.0.0.1 PART :#lobby12");
    EXPECT_EQ("-", chat.ReachesHostAs("#lobby12"));
    // Gone from the table: a late confirmation is not left again.
    chat.Dispatch(":me!user@127.0.0.1 JOIN :#lobby12");
    EXPECT_TRUE(chat.TakeQueued().empty());
}

TEST_F(Inbound, NamesReplySendsNamesAsReceivedAndRecordsThemWithoutTheirMarks)
{
    chat.Dispatch(":irc.test 353 me = #lobby12 :@alice bob  +carol");
    EXPECT_EQ((Lines{"#lobby @alice", "#lobby bob", "#lobby +carol"}),
              sink.Texts(CHAT_EVENT_MEMBER));
    for (const char* pszNick : {"alice", "bob", "carol"})
        EXPECT_EQ(Lines{"#lobby"}, chat.ChannelsOf(pszNick)) << pszNick;
}

TEST_F(Inbound, RepeatedNamesRepliesAddNoMemberTwice)
{
    chat.Dispatch(":bob!bob@h JOIN :#lobby12");
    chat.Dispatch(":irc.test 353 me = #lobby12 :me bob");
    chat.Dispatch(":irc.test 353 me = #lobby12 :me @bob");

    sink.Clear();
    chat.Dispatch(":bob!bob@h NICK :robert");
    EXPECT_EQ(Lines{"bob robert #lobby"}, sink.Texts(CHAT_EVENT_NICK));
}

TEST(InboundNick, NicknameChangeIsReportedOncePerSharedChannel)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinConfirmed("#a", "#a");
    chat.JoinConfirmed("#b", "#b2");
    chat.Dispatch(":bob!bob@h JOIN :#a");
    chat.Dispatch(":bob!bob@h JOIN :#b2");
    chat.Dispatch(":bob!bob@h JOIN :#unknown");
    chat.Dispatch(":carol!c@h JOIN :#a");
    sink.Clear();

    chat.Dispatch(":bob!bob@h NICK :robert");
    EXPECT_EQ((Lines{"bob robert #a", "bob robert #b"}), sink.Texts(CHAT_EVENT_NICK));
    EXPECT_EQ(Lines(), chat.ChannelsOf("bob"));

    // The parameter may come without a colon, and nicknames compare by the
    // server's case mapping.
    sink.Clear();
    chat.Dispatch(":robert!bob@h NICK bobby");
    chat.Dispatch(":CAROL!c@h NICK :caroline");
    EXPECT_EQ((Lines{"robert bobby #a", "robert bobby #b", "CAROL caroline #a"}),
              sink.Texts(CHAT_EVENT_NICK));
    EXPECT_EQ(Lines(), chat.ChannelsOf("carol"));
    // Joined later, the channel the server reported bob in before holds no
    // member of ours.
    chat.JoinConfirmed("#unknown", "#unknown");
    EXPECT_EQ((Lines{"#a", "#b"}), chat.ChannelsOf("bobby"));

    // A host part that holds colons does not move the new nickname.
    sink.Clear();
    chat.Dispatch(":caroline!c@::1 NICK :caro");
    EXPECT_EQ(Lines{"caroline caro #a"}, sink.Texts(CHAT_EVENT_NICK));
}

TEST_F(Inbound, ListEntriesCarryTheChannelWordsAndTheEndIsAnEvent)
{
    chat.Dispatch(":irc.test 322 me #alpha 3 :talk about #beta");
    chat.Dispatch(":irc.test 322 me * 0 :no channel here");
    chat.Dispatch(":irc.test 323 me :End of LIST");
    std::vector<RecordedEvent> calls = sink.Events();
    ASSERT_EQ(3u, calls.size());
    EXPECT_EQ(RecordedEvent::Text, calls[0].kind);
    EXPECT_EQ(CHAT_EVENT_LIST_ENTRY, calls[0].nCode);
    EXPECT_EQ("#alpha #beta", calls[0].text);
    EXPECT_EQ("", calls[1].text);
    EXPECT_EQ(RecordedEvent::Event, calls[2].kind);
    EXPECT_EQ(CHAT_EVENT_LIST_END, calls[2].nCode);
    EXPECT_EQ(0, calls[2].nValue);
}

TEST_F(Inbound, MotdTextFollowsAColonDashWordOrIsTheTrailingParameter)
{
    chat.Dispatch(":irc.test 372 me :- \"Hello from test\"");
    chat.Dispatch(":irc.test 372 me :hello  motd");
    chat.Dispatch(":irc.test 372 me :-");
    chat.Dispatch(":irc.test 372 me");
    EXPECT_EQ((Lines{"\"Hello from test\" ", "hello motd ", "", ""}), sink.Texts(CHAT_EVENT_MOTD));
}

TEST(InboundWelcome, FirstWelcomeJoinsQueuedChannelsAndRunsAPendingList)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.JoinChannel("#one", 0);
    chat.JoinChannel("#two", 0);
    chat.ListChannels();
    chat.Dispatch(":irc.test 001 me :Welcome");
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_TRUE(chat.TakeQueued().empty());

    chat.Dispatch(":irc.test 003 me :This server was created today");
    EXPECT_EQ((Lines{"LIST", "JOIN #one", "JOIN #two"}), chat.TakeQueued());
    std::vector<RecordedEvent> calls = sink.Events();
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(CHAT_EVENT_LIST_START, calls[0].nCode);
    EXPECT_TRUE(calls[0].bNullText);

    chat.Dispatch(":irc.test 002 me :Your host");
    chat.Dispatch(":irc.test 004 me irc.test");
    EXPECT_TRUE(chat.TakeQueued().empty());
    EXPECT_EQ(1u, sink.Events().size());
    // Being joined now: the confirmation is taken.
    chat.Dispatch(":me!u@h JOIN :#one");
    EXPECT_EQ("#one", chat.SendsTo("#one"));
}

TEST_F(Inbound, NoHandlerTextOutgrowsItsArea)
{
    const std::string longWord(3000, 'x');
    chat.Dispatch(":bob!bob@h PRIVMSG #lobby12 :" + longWord);
    chat.Dispatch(":bob!bob@h NOTICE #lobby12 :ZYMATTRIBUPDATE k " + longWord);
    chat.Dispatch(":bob!bob@h INVITE me :#" + longWord);
    chat.Dispatch(":irc.test 322 me #" + longWord + " #b");
    chat.Dispatch(":irc.test 372 me :- " + longWord + " " + longWord);
    chat.Dispatch(":irc.test 353 me = #lobby12" + longWord + " :bob");
    chat.Dispatch(":bob!bob@h JOIN :#" + longWord);

    std::vector<std::string> message = sink.Texts(CHAT_EVENT_MESSAGE);
    ASSERT_EQ(1u, message.size());
    EXPECT_EQ(515u, message[0].size());
    EXPECT_EQ("#lobby bob xxx", message[0].substr(0, 14));
    std::vector<std::string> attribute = sink.Texts(CHAT_EVENT_ATTRIBUTE);
    ASSERT_EQ(1u, attribute.size());
    EXPECT_EQ(515u, attribute[0].size());
    std::vector<std::string> invite = sink.Texts(CHAT_EVENT_INVITE);
    ASSERT_EQ(1u, invite.size());
    EXPECT_EQ(519u, invite[0].size());
    std::vector<std::string> list = sink.Texts(CHAT_EVENT_LIST_ENTRY);
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ(499u, list[0].size());
    std::vector<std::string> motd = sink.Texts(CHAT_EVENT_MOTD);
    ASSERT_EQ(1u, motd.size());
    EXPECT_EQ(512u, motd[0].size());
    // A channel word longer than its area is cut, so it matches no joined name.
    EXPECT_TRUE(sink.Texts(CHAT_EVENT_MEMBER).empty());
    EXPECT_EQ(Lines(), chat.ChannelsOf("bob"));
}
