#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChatEventSink.h"
#include "ChatUnderTest.h"
#include "SessionUnderTest.h"

// What a server can do to the chat session's names and answers once channels
// are joined: send its ISUPPORT rules again with another case mapping,
// confirm two host channels under one name, or confirm a channel under a
// name too long for the answers queued for it.

namespace
{
    typedef std::vector<std::string> Lines;
}

// A member seen under the RFC 1459 mapping is still a member once the server
// says it maps ASCII only: a rename of that member is still reported.
TEST(ServerRulesChange, MemberKeptBeforeACaseMappingChangeIsStillRenamed)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinConfirmed("#home", "#home");
    chat.Dispatch(":irc.test 353 me = #home :Bob[ carol");
    chat.Dispatch(":irc.test 005 me CASEMAPPING=ascii :are supported");
    sink.Clear();
    chat.Dispatch(":Bob[!b@h NICK :Bobby");
    EXPECT_EQ(Lines{"Bob[ Bobby #home"}, sink.Texts(CHAT_EVENT_NICK));
}

// A channel whose name folds differently under the new mapping: once the
// host has left it, none of its members are kept.
TEST(ServerRulesChange, LeftChannelKeepsNoMembersAfterACaseMappingChange)
{
    SessionUnderTest session;
    session.Welcome();
    session.JoinConfirmed("#a[b", "#a[b");
    session.Dispatch(":irc.test 353 me = #a[b :alice bob");
    ASSERT_EQ("", session.Session().Inconsistency());
    session.Dispatch(":irc.test 005 me CASEMAPPING=ascii :are supported");
    session.Session().LeaveChannel("#a[b", session.Out());
    ASSERT_EQ(Lines{"PART #a[b"}, session.TakeLines());
    session.Dispatch(":me!u@h PART #a[b");
    EXPECT_EQ("-", session.SendsTo("#a[b"));
    EXPECT_EQ("", session.Session().Inconsistency());
}

// Two host channels the server confirms under names that are one name by its
// case mapping: the one that loses its server name can still be left, and
// joined again afterwards.
TEST(ServerNameClaim, ChannelWhoseServerNameIsClaimedCanStillBeLeftAndJoined)
{
    SessionUnderTest session;
    session.Welcome();
    session.JoinConfirmed("#a", "#a");
    session.JoinConfirmed("#A", "#A");
    ASSERT_EQ("#A", session.SendsTo("#A"));

    session.Session().LeaveChannel("#a", session.Out());
    session.Session().JoinChannel("#a", 0, session.Out());
    EXPECT_EQ(Lines{"JOIN #a"}, session.TakeLines());
}

// Attributes whose notices no longer fit one line under the name the server
// confirmed are not sent; a later request is still answered with the others.
TEST(AttributeAnswers, RequestIsAnsweredAfterAnswersTooLongForTheLineWereLeftOut)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.SendAttributeUpdate("a", "1");
    chat.SendAttributeUpdate("b", std::string(480, 'x').c_str());
    chat.SendAttributeUpdate("c", std::string(480, 'y').c_str());
    chat.TakeQueued();
    chat.JoinChannel("#h", 0);
    chat.TakeQueued();
    chat.Dispatch(":me!u@h JOIN :#h12345");
    ASSERT_EQ((Lines{"NOTICE #h12345 :ZYMATTRIBUPDATE a 1", "NOTICE #h12345 :ZYMATTRIBREQUEST"}),
              chat.TakeQueued());

    chat.Dispatch(":peer!p@h NOTICE #h12345 :ZYMATTRIBREQUEST");
    EXPECT_EQ(Lines{"NOTICE #h12345 :ZYMATTRIBUPDATE a 1"}, chat.TakeQueued());
}

// The server alone, by switching its case mapping between names replies and
// confirming our channel under a new name each time, must not make members of
// channels no longer mapped pile up.
TEST(ServerRulesChange, SwitchingCaseMappingAndRenamingTheChannelKeepsNoStaleMembers)
{
    SessionUnderTest session;
    session.Welcome();
    session.JoinConfirmed("#a[b", "#a[b");
    std::string names;
    for (int i = 0; i < 50; ++i)
        names += " n" + std::to_string(i);
    for (int round = 1; round <= 3; ++round)
    {
        const std::string current = round == 1 ? "#a[b" : "#a[b" + std::to_string(round - 1);
        session.Dispatch(":irc.test 005 me CASEMAPPING=rfc1459 :are supported");
        session.Dispatch(":irc.test 353 me = " + current + " :" + names);
        session.Dispatch(":irc.test 005 me CASEMAPPING=ascii :are supported");
        session.Dispatch(":me!u@h JOIN :#a[b" + std::to_string(round));
        ASSERT_EQ("#a[b" + std::to_string(round), session.SendsTo("#a[b"));
    }
    EXPECT_EQ("", session.Session().Inconsistency());
}
