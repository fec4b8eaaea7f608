#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ChannelEntry.h"
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
        chat.JoinChannel(("#a" + bad).c_str(), 0);
        EXPECT_EQ(-1, chat.StateOf("#a" + bad));
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
    EXPECT_EQ(CHANNEL_JOINED, chat.StateOf("#c"));
    Lines queued = chat.TakeQueued();
    EXPECT_EQ(Lines{"MODE " + serverName + " +s"}, queued);
    EXPECT_TRUE(AllFitOneLine(queued));

    chat.Dispatch(":bob!b@h NOTICE " + serverName + " :ZYMATTRIBREQUEST");
    chat.Dispatch("PING :" + std::string(700, 'p'));
    queued = chat.TakeQueued();
    EXPECT_EQ(Lines{"PONG :" + std::string(504, 'p')}, queued);
    EXPECT_TRUE(AllFitOneLine(queued));
}

TEST(HostileServer, RepeatedOwnJoinsLeaveOneMapRowPerChannel)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinChannel("#x", 0);
    for (int i = 1; i <= 3000; ++i)
        chat.Dispatch(OwnJoin("#x" + std::to_string(i)));
    EXPECT_EQ("#x3000", chat.ServerNameOf("#x"));
    EXPECT_EQ("#x", chat.HostNameOf("#x3000"));
    EXPECT_EQ("-", chat.HostNameOf("#x1"));
    EXPECT_EQ("-", chat.HostNameOf("#x2999"));
    EXPECT_EQ(1, chat.HostNameRows());

    // An old name routes nothing any more.
    chat.Dispatch(":bob!b@h PRIVMSG #x1 :old");
    chat.Dispatch(":bob!b@h PRIVMSG #x3000 :new");
    EXPECT_EQ(Lines{"#x bob new"}, sink.Texts(CHAT_EVENT_MESSAGE));

    chat.LeaveChannel("#x");
    chat.Dispatch(":me!user@127.0.0.1 PART #x3000");
    EXPECT_EQ(-1, chat.StateOf("#x"));
    EXPECT_EQ(0, chat.HostNameRows());
}

TEST_F(JoinedChannelInput, MembersAreKeptOnlyForChannelsInTheTableAndLeaveWithTheirOwners)
{
    struct Case
    {
        const char* pszLine;
        int nTotalAfter;
    };
    // Applied in order; the member total after each line.
    const Case cases[] = {
        {":bob!b@h JOIN :#home", 1},
        {":bob!b@h JOIN :#elsewhere", 1},
        {":irc 353 me = #elsewhere :carol dave", 1},
        {":irc 353 me = #home :@carol dave erin", 4},
        {":carol!c@h QUIT :gone", 3},
        {":op!o@h KICK #home dave :out", 2},
        {":op!o@h KICK #home nobody :out", 2},
        {":bob!b@h PART #home", 1},
        {":op!o@h KICK #home me :and you", 0},
    };
    for (const Case& c : cases)
    {
        chat.Dispatch(c.pszLine);
        EXPECT_EQ(c.nTotalAfter, chat.MemberTotal()) << c.pszLine;
    }
    // Kicked, the channel stays listed as joined, as after a PART we did not
    // ask for.
    EXPECT_EQ(CHANNEL_JOINED, chat.StateOf("#home"));
}

TEST_F(JoinedChannelInput, OurOwnPartAndAReJoinUnderAnotherNameDropTheOldMembers)
{
    chat.Dispatch(":irc 353 me = #home :bob carol");
    EXPECT_EQ(2, chat.MemberTotal());
    chat.JoinChannel("#home", 0);
    chat.Dispatch(OwnJoin("#home2"));
    EXPECT_EQ(0, chat.MemberTotal());
    chat.Dispatch(":irc 353 me = #home2 :bob carol");
    chat.LeaveChannel("#home");
    chat.Dispatch(":me!user@127.0.0.1 PART #home2");
    EXPECT_EQ(0, chat.MemberTotal());
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
    EXPECT_EQ(49999, chat.MemberTotal());
    EXPECT_EQ(1, chat.MemberCount("renamed", "#home"));
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
    EXPECT_EQ(nBound, chat.MemberTotal());
    chat.Dispatch(":bob!b@h JOIN :#home");
    chat.Dispatch(":" + std::string(65, 'L') + "!b@h JOIN :#home");
    EXPECT_EQ(nBound, chat.MemberTotal());
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
    EXPECT_EQ(CHANNEL_LEAVING, chat.StateOf("#a"));
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
    EXPECT_EQ(CHANNEL_JOINED, chat.StateOf("#a"));
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
    EXPECT_EQ(CHANNEL_JOINED, chat.StateOf("#b"));
    chat.LeaveChannel("#b");
    chat.Dispatch(":me_!user@h PART #b");
    EXPECT_EQ(-1, chat.StateOf("#b"));
    // The old nickname is another user's now.
    chat.Dispatch(":me!user@h JOIN :#a");
    EXPECT_EQ(1, chat.MemberCount("me", "#a"));
}

TEST(OwnNickname, TheWelcomeNamesUsAsTheServerKnowsUs)
{
    EventRecorder sink;
    ChatUnderTest chat(sink, "alice");
    chat.Dispatch(":irc.test 001 ali :Welcome");
    chat.Dispatch(":irc.test 002 ali :Your host");
    chat.JoinChannel("#a", 0);
    chat.Dispatch(":ali!user@h JOIN :#a");
    EXPECT_EQ(CHANNEL_JOINED, chat.StateOf("#a"));
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
    EXPECT_EQ(CHANNEL_JOINED, chat.StateOf("#a"));
}
