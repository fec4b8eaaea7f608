#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "MemberIndex.h"
#include "ChatUnderTest.h"

// What a host or a server can do to the component's state with input it
// does not control, line by line on a component whose thread never runs.

namespace
{
    typedef std::vector<std::string> Lines;

    std::string OwnJoin(const std::string& channel)
    {
        return ":me!user@127.0.0.1 JOIN :" + channel;
    }

    bool AllFitOneLine(const Lines& lines)
    {
        for (const std::string& line : lines)
        {
            if (line.size() > 510 || line.find_first_of("\r\n") != std::string::npos)
                return false;
        }
        return true;
    }

    struct JoinedChannelInput : public ::testing::Test
    {
        JoinedChannelInput() : chat(sink)
        {
            chat.Welcome();
            chat.JoinConfirmed("#home", "#home");
        }
        EventRecorder sink;
        ChatUnderTest chat;
    };
}

TEST_F(JoinedChannelInput, HostTextsWithLineBreaksOrTooLongAreRefusedAndChangeNothing)
{
    const std::string tooLong(600, 'x');
    for (const std::string& bad : {std::string("hi\r\nJOIN #evil"), std::string("hi\nJOIN #evil"),
                                  std::string("hi\rJOIN #evil"), tooLong})
    {
        SCOPED_TRACE(bad.substr(0, 20));
        EXPECT_EQ(0, chat.SendChannelMessage("#home", bad.c_str()));
        chat.SetNickname(bad.c_str());
        EXPECT_EQ("me", chat.Nickname());
        // Kept in the table, the refused channel would be the one join under
        // way and take the next unrelated confirmation.
        chat.JoinChannel(("#a" + bad).c_str(), 0);
        chat.Dispatch(OwnJoin("#stray"));
        EXPECT_EQ("-", chat.ReachesHostAs("#stray"));
        chat.SendAttributeUpdate("color", bad.c_str());
        chat.SendAttributeUpdate(bad.c_str(), "blue");
        EXPECT_EQ(Lines(), chat.TakeQueued());
    }
    // No attribute was kept: a later request is answered with nothing.
    chat.Dispatch(":bob!b@h NOTICE #home :ZYMATTRIBREQUEST");
    EXPECT_EQ(Lines(), chat.TakeQueued());
}

TEST_F(JoinedChannelInput, AMessageThatJustFitsGoesOutAndOneCharacterMoreIsRefused)
{
    const std::string prefix = "PRIVMSG #home :";
    const std::string fits(510 - prefix.size(), 'm');
    EXPECT_EQ(1, chat.SendChannelMessage("#home", fits.c_str()));
    EXPECT_EQ(Lines{prefix + fits}, chat.TakeQueued());
    EXPECT_EQ(0, chat.SendChannelMessage("#home", (fits + "m").c_str()));
    EXPECT_EQ(Lines(), chat.TakeQueued());
}

TEST(HostileServer, ALongConfirmedChannelNameGivesNoLineOverTheLimit)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.SendAttributeUpdate("color", "blue");
    chat.Welcome();
    chat.JoinChannel("#c", 3);
    EXPECT_EQ(Lines{"JOIN #c"}, chat.TakeQueued());
    // Digits appended by the server: the join is ours, under a name that
    // leaves no room for the notices.
    const std::string serverName = "#c" + std::string(488, '7');
    chat.Dispatch(OwnJoin(serverName));
    Lines queued = chat.TakeQueued();
    EXPECT_EQ(Lines{"MODE " + serverName + " +s"}, queued);
    EXPECT_TRUE(AllFitOneLine(queued));

    chat.Dispatch(":bob!b@h NOTICE " + serverName + " :ZYMATTRIBREQUEST");
    chat.Dispatch("PING :" + std::string(700, 'p'));
    queued = chat.TakeQueued();
    EXPECT_EQ(Lines{"PONG :" + std::string(504, 'p')}, queued);
    EXPECT_TRUE(AllFitOneLine(queued));
    EXPECT_EQ(serverName, chat.SendsTo("#c"));
}

TEST(HostileServer, RepeatedOwnJoinsLeaveOneMapRowPerChannel)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinChannel("#x", 0);
    for (int i = 1; i <= 3000; ++i)
        chat.Dispatch(OwnJoin("#x" + std::to_string(i)));
    EXPECT_EQ("#x3000", chat.SendsTo("#x"));

    // No old name routes anything any more.
    int nRouting = 0;
    for (int i = 1; i < 3000; ++i)
        nRouting += chat.ReachesHostAs("#x" + std::to_string(i)) == "-" ? 0 : 1;
    EXPECT_EQ(0, nRouting);
    chat.Dispatch(":bob!b@h PRIVMSG #x3000 :new");
    EXPECT_EQ(Lines{"#x bob new"}, sink.Texts(CHAT_EVENT_MESSAGE));

    chat.LeaveChannel("#x");
    chat.Dispatch(":me!user@127.0.0.1 PART #x3000");
    EXPECT_EQ("-", chat.SendsTo("#x"));
    EXPECT_EQ("-", chat.ReachesHostAs("#x3000"));
}

TEST_F(JoinedChannelInput, MembersAreKeptOnlyForChannelsInTheTableAndLeaveWithTheirOwners)
{
    struct Case
    {
        const char* pszLine;
        const char* pszMembersAfter;
    };
    // Applied in order; the members of #home after each line, as NICK lines
    // from each of them would report.
    const Case cases[] = {
        {":bob!b@h JOIN :#home", "bob"},
        {":bob!b@h JOIN :#elsewhere", "bob"},
        {":irc 353 me = #elsewhere :carol dave", "bob"},
        {":irc 353 me = #home :@carol dave erin", "bob carol dave erin"},
        {":carol!c@h QUIT :gone", "bob dave erin"},
        {":op!o@h KICK #home dave :out", "bob erin"},
        {":op!o@h KICK #home nobody :out", "bob erin"},
        {":bob!b@h PART #home", "erin"},
        {":op!o@h KICK #home me :and you", ""},
    };
    auto membersOfHome = [this] {
        std::string members;
        for (const char* pszNick : {"bob", "carol", "dave", "erin", "nobody"})
        {
            Lines channels = chat.ChannelsOf(pszNick);
            EXPECT_TRUE(channels.empty() || channels == Lines{"#home"}) << pszNick;
            if (!channels.empty())
                members += members.empty() ? pszNick : std::string(" ") + pszNick;
        }
        return members;
    };
    for (const Case& c : cases)
    {
        chat.Dispatch(c.pszLine);
        EXPECT_EQ(c.pszMembersAfter, membersOfHome()) << c.pszLine;
    }
    // Kicked, the channel stays listed as joined, as after a PART we did not
    // ask for.
    EXPECT_EQ("#home", chat.SendsTo("#home"));
    // Nothing was kept of the channel we were not in: joined now, it has
    // none of those members.
    chat.JoinConfirmed("#elsewhere", "#elsewhere");
    for (const char* pszNick : {"bob", "carol", "dave"})
        EXPECT_EQ(Lines(), chat.ChannelsOf(pszNick)) << pszNick;
}

TEST_F(JoinedChannelInput, OurOwnPartAndAReJoinUnderAnotherNameDropTheOldMembers)
{
    chat.Dispatch(":irc 353 me = #home :bob carol");
    EXPECT_EQ(Lines{"#home"}, chat.ChannelsOf("bob"));
    chat.JoinChannel("#home", 0);
    chat.Dispatch(OwnJoin("#home2"));
    chat.Dispatch(":irc 353 me = #home2 :carol");
    EXPECT_EQ(Lines(), chat.ChannelsOf("bob"));
    chat.LeaveChannel("#home");
    chat.Dispatch(":me!user@127.0.0.1 PART #home2");

    // Joined again under each earlier name, the channel has none of the
    // members seen under that name before.
    chat.JoinConfirmed("#home", "#home");
    EXPECT_EQ(Lines(), chat.ChannelsOf("bob"));
    chat.JoinChannel("#home", 0);
    chat.Dispatch(OwnJoin("#home2"));
    EXPECT_EQ(Lines(), chat.ChannelsOf("carol"));
}

TEST_F(JoinedChannelInput, FiftyThousandMembersOfOneChannelTakeWellUnderASecond)
{
    auto start = std::chrono::steady_clock::now();
    for (int nLine = 0; nLine < 2000; ++nLine)
    {
        std::string line = ":irc 353 me = #home :";
        for (int i = 0; i < 25; ++i)
            line += "member" + std::to_string(nLine * 25 + i) + " ";
        chat.Dispatch(line);
    }
    chat.Dispatch(":member49999!m@h NICK :renamed");
    chat.Dispatch(":member0!m@h PART #home");
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(Lines{"member49999 renamed #home"}, sink.Texts(CHAT_EVENT_NICK));
    EXPECT_EQ(Lines(), chat.ChannelsOf("member0"));
    EXPECT_EQ(Lines(), chat.ChannelsOf("member49999"));
    for (const char* pszNick : {"member1", "member25000", "member49998", "renamed"})
        EXPECT_EQ(Lines{"#home"}, chat.ChannelsOf(pszNick)) << pszNick;
    EXPECT_LT(seconds, 1.0);
    std::printf("50000 members of one channel: %.3f s\n", seconds);
}

TEST_F(JoinedChannelInput, AChannelHoldsAtMostItsBoundOfMembers)
{
    const int nBound = static_cast<int>(MemberIndex::kMaxMembersPerChannel);
    for (int nLine = 0; nLine * 40 < nBound + 1000; ++nLine)
    {
        std::string line = ":irc 353 me = #home :";
        for (int i = 0; i < 40; ++i)
            line += "n" + std::to_string(nLine * 40 + i) + " ";
        chat.Dispatch(line);
    }
    // The first names up to the bound are kept, none after them.
    EXPECT_EQ(Lines{"#home"}, chat.ChannelsOf("n0"));
    EXPECT_EQ(Lines{"#home"}, chat.ChannelsOf("n" + std::to_string(nBound - 1)));
    EXPECT_EQ(Lines(), chat.ChannelsOf("n" + std::to_string(nBound)));
    EXPECT_EQ(Lines(), chat.ChannelsOf("n" + std::to_string(nBound + 999)));
    chat.Dispatch(":bob!b@h JOIN :#home");
    EXPECT_EQ(Lines(), chat.ChannelsOf("bob"));
}

TEST(HostileServer, APingFloodLeavesOneAnswerForTheLatestPing)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.SendChannelMessage("#none", "x");
    chat.JoinChannel("#a", 0);
    for (int i = 0; i < 20000; ++i)
        chat.Dispatch("PING :t" + std::to_string(i));
    // The answer goes out before the lines queued ahead of it.
    EXPECT_EQ((Lines{"PONG :t19999", "JOIN #a"}), chat.TakeQueued());
}

TEST(HostileServer, RepeatedConfirmationsOfAChannelBeingLeftQueueOnePart)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinChannel("#a", 0);
    chat.LeaveChannel("#a");
    for (int i = 0; i < 1000; ++i)
        chat.Dispatch(OwnJoin("#a"));
    EXPECT_EQ((Lines{"JOIN #a", "PART #a"}), chat.TakeQueued());
    // Once it went out, a new confirmation is left again.
    chat.Dispatch(OwnJoin("#a"));
    EXPECT_EQ(Lines{"PART #a"}, chat.TakeQueued());
}

TEST_F(JoinedChannelInput, RepeatedAttributeRequestsQueueNoMoreWhileTheAnswersWait)
{
    chat.SendAttributeUpdate("color", "blue");
    chat.SendAttributeUpdate("size", "10");
    EXPECT_EQ((Lines{"NOTICE #home :ZYMATTRIBUPDATE color blue",
                     "NOTICE #home :ZYMATTRIBUPDATE size 10"}),
              chat.TakeQueued());
    for (int i = 0; i < 1000; ++i)
        chat.Dispatch(":bob!b@h NOTICE #home :ZYMATTRIBREQUEST");
    EXPECT_EQ((Lines{"NOTICE #home :ZYMATTRIBUPDATE color blue",
                     "NOTICE #home :ZYMATTRIBUPDATE size 10"}),
              chat.TakeQueued());
    // Once they went out, the next request is answered again.
    chat.Dispatch(":bob!b@h NOTICE #home :ZYMATTRIBREQUEST");
    EXPECT_EQ(2u, chat.TakeQueued().size());
}

TEST(OwnNickname, ARefusedNicknameChangeKeepsTheConfirmedNickname)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.SetNickname("taken");
    EXPECT_EQ(Lines{"NICK taken"}, chat.TakeQueued());
    chat.Dispatch(":irc.test 433 me taken :Nickname is already in use");
    EXPECT_EQ("me", chat.Nickname());

    chat.JoinChannel("#a", 0);
    chat.Dispatch(OwnJoin("#a"));
    EXPECT_EQ("#a", chat.SendsTo("#a"));
}

TEST(OwnNickname, ARenameByTheServerIsFollowed)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinConfirmed("#a", "#a");
    chat.Dispatch(":ME!user@h NICK :me_");
    EXPECT_EQ("me_", chat.Nickname());

    chat.JoinChannel("#b", 0);
    chat.Dispatch(":me_!user@h JOIN :#b");
    EXPECT_EQ("#b", chat.SendsTo("#b"));
    chat.LeaveChannel("#b");
    EXPECT_EQ(Lines{"PART #b"}, chat.TakeQueued());
    chat.Dispatch(":me_!user@h PART #b");
    EXPECT_EQ("-", chat.SendsTo("#b"));
    EXPECT_EQ("-", chat.ReachesHostAs("#b"));
    // The old nickname is another user's now.
    chat.Dispatch(":me!user@h JOIN :#a");
    EXPECT_EQ(Lines{"#a"}, chat.ChannelsOf("me"));
}

TEST(OwnNickname, TheWelcomeNamesUsAsTheServerKnowsUs)
{
    EventRecorder sink;
    ChatUnderTest chat(sink, "alice");
    chat.Dispatch(":irc.test 001 ali :Welcome");
    chat.Dispatch(":irc.test 002 ali :Your host");
    chat.JoinChannel("#a", 0);
    chat.Dispatch(":ali!user@h JOIN :#a");
    EXPECT_EQ("#a", chat.SendsTo("#a"));
}

TEST(OwnNickname, TheEmptiedNicknameAfterANonzeroAnswerStaysEmpty)
{
    EventRecorder sink(1);
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.SetNickname("taken");
    chat.Dispatch(":irc.test 433 me taken :Nickname is already in use");
    EXPECT_EQ("", chat.Nickname());
    // Our lines are still ours: the server kept the nickname it confirmed.
    chat.JoinChannel("#a", 0);
    chat.Dispatch(OwnJoin("#a"));
    EXPECT_EQ("#a", chat.SendsTo("#a"));
}
