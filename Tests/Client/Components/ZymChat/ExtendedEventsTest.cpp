// The events with details an extended host hears: each kind of line with
// its fields and tags, the time's source, and what a message's tags and a
// KICK of ourselves do for either kind of host.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ChatEventSink.h"
#include "EventTime.h"
#include "ExtendedChatEventSink.h"
#include "ChatUnderTest.h"
#include "EventRecorder.h"
#include "SessionUnderTest.h"

namespace
{
    typedef std::vector<std::string> Lines;

    const std::string kStamp = "2026-12-08T20:00:00.123Z";

    // A session of the extended host, logged in with these capabilities
    // granted and #lobby joined under the server's name #lobby2.
    void LogIn(SessionUnderTest& session, const std::string& granted, bool bExtended = true)
    {
        if (bExtended)
            session.Session().SetExtendedHost();
        session.LogIn(true);
        session.Dispatch(":irc.test CAP * LS :" + granted);
        session.Dispatch(":irc.test CAP * ACK :" + granted);
        session.Welcome();
        session.JoinConfirmed("#lobby", "#lobby2");
        session.TakeLines();
        session.Clear();
    }

    struct Expected
    {
        int nCode;
        std::string channel, nickname, source, text, account, messageId;
    };

    struct Row
    {
        std::string line;
        Expected detail;
    };

    std::string Describe(const SessionOutput::Detail& d)
    {
        return std::to_string(d.m_nCode) + " [" + d.m_Channel + "] [" + d.m_Nickname + "] [" +
               d.m_Source + "] [" + d.m_Text + "] [" + d.m_Account + "] [" + d.m_MessageId + "]";
    }

    std::string Describe(const Expected& d)
    {
        return std::to_string(d.nCode) + " [" + d.channel + "] [" + d.nickname + "] [" + d.source +
               "] [" + d.text + "] [" + d.account + "] [" + d.messageId + "]";
    }
}

TEST(ExtendedEvents, EachLineReachesTheHostWithItsFieldsAndTags)
{
    const std::string tags = "@time=" + kStamp + ";msgid=m1;account=acc ";
    const std::vector<Row> rows = {
        {tags + ":bob!b@h QUIT :gone home", {CHAT_EVENT_QUIT, "", "bob", "", "gone home", "acc", "m1"}},
        {tags + ":bob!b@h PRIVMSG #LOBBY2 :hello there",
         {CHAT_EVENT_MESSAGE_DETAILS, "#lobby", "bob", "", "hello there", "acc", "m1"}},
        {tags + ":op!o@h KICK #lobby2 bob :bye", {CHAT_EVENT_KICK, "#lobby", "bob", "op", "bye", "acc", "m1"}},
        {tags + ":op!o@h TOPIC #LOBBY2 :new topic", {CHAT_EVENT_TOPIC, "#lobby", "", "op", "new topic", "acc", "m1"}},
        {tags + ":op!o@h TOPIC #lobby2 :", {CHAT_EVENT_TOPIC, "#lobby", "", "op", "", "acc", "m1"}},
        {":irc.test 332 me #lobby2 :the topic", {CHAT_EVENT_TOPIC, "#lobby", "", "", "the topic", "", ""}},
        {":irc.test 333 me #lobby2 op!o@h 1700000000",
         {CHAT_EVENT_TOPIC_SETTER, "#lobby", "", "op", "2023-11-14T22:13:20.000Z", "", ""}},
        {tags + ":op!o@h MODE #lobby2 +ov bob carol", {CHAT_EVENT_MODE, "#lobby", "", "op", "+ov bob carol", "acc", "m1"}},
        {":irc.test MODE me :+i", {CHAT_EVENT_MODE, "", "me", "irc.test", "+i", "", ""}},
        {tags + ":bob!b@h AWAY :lunch", {CHAT_EVENT_AWAY, "", "bob", "", "lunch", "acc", "m1"}},
        {":bob!b@h AWAY", {CHAT_EVENT_AWAY, "", "bob", "", "", "", ""}},
        {":bob!b@h ACCOUNT bobacct", {CHAT_EVENT_ACCOUNT, "", "bob", "", "", "bobacct", ""}},
        {":bob!b@h ACCOUNT *", {CHAT_EVENT_ACCOUNT, "", "bob", "", "", "", ""}},
        {":bob!b@h CHGHOST newuser new.host", {CHAT_EVENT_HOST_CHANGE, "", "bob", "", "newuser new.host", "", ""}},
        {":op!o@h INVITE carol #lobby2", {CHAT_EVENT_INVITED_OTHER, "#lobby2", "carol", "op", "", "", ""}},
        {":irc.test 900 me me!u@h acct :You are now logged in as acct",
         {CHAT_EVENT_LOGGED_IN, "", "me", "", "You are now logged in as acct", "acct", ""}},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.line);
        SessionUnderTest session;
        LogIn(session, "server-time invite-notify");
        session.Dispatch(row.line);
        const std::vector<SessionOutput::Detail>& details = session.Details();
        ASSERT_EQ(1u, details.size());
        EXPECT_EQ(Describe(row.detail), Describe(details[0]));
        // The server's stamp where it sent one, else ours.
        if (row.line[0] == '@')
            EXPECT_EQ(kStamp, details[0].m_Time);
        else
            EXPECT_TRUE(EventTime::IsStamp(details[0].m_Time)) << details[0].m_Time;
        // None of these is one of today's events.
        EXPECT_TRUE(session.Heard(CHAT_EVENT_INVITE).empty());
    }
}

TEST(ExtendedEvents, TheServersTimeOnlyWhenItWasGrantedAndWellFormed)
{
    struct Case
    {
        const char* pszGranted;
        std::string stamp;
        bool bServers;
    } cases[] = {
        {"server-time", kStamp, true},
        {"message-tags", kStamp, false},
        {"server-time", "2026-12-08T20:00:00", false},
        {"server-time", "2026-12-08T20:00:00Z", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.pszGranted) + " " + c.stamp);
        SessionUnderTest session;
        LogIn(session, c.pszGranted);
        session.Dispatch("@time=" + c.stamp + " :bob!b@h QUIT :x");
        ASSERT_EQ(1u, session.Details().size());
        const std::string& time = session.Details()[0].m_Time;
        EXPECT_EQ(c.bServers, time == c.stamp) << time;
        EXPECT_TRUE(EventTime::IsStamp(time)) << time;
    }
}

TEST(ExtendedEvents, MessageTagsAndOurOwnKickReachTheExtendedHostOnly)
{
    for (bool bExtended : {true, false})
    {
        SCOPED_TRACE(bExtended ? "extended host" : "today's host");
        SessionUnderTest session;
        LogIn(session, "server-time", bExtended);
        session.Dispatch(":bob!b@h JOIN #lobby2");
        session.Dispatch("@account=b :bob!b@h PRIVMSG #lobby2 :hi");
        EXPECT_EQ((Lines{"#lobby bob hi"}), session.Heard(CHAT_EVENT_MESSAGE));
        EXPECT_EQ(bExtended ? 1u : 0u, session.Details().size());
        session.Dispatch(":op!o@h KICK #lobby2 me :out");
        EXPECT_EQ(bExtended ? "-" : "#lobby2", session.SendsTo("#lobby"));
        EXPECT_EQ("", session.Session().Inconsistency());
        // Joined again, the channel works as before.
        session.JoinConfirmed("#lobby", "#lobby2");
        EXPECT_EQ("#lobby2", session.SendsTo("#lobby"));
    }
}

TEST(ExtendedEvents, ACapabilityNeverRequestedChangesNothingEitherHostHears)
{
    // The server acknowledges what nobody asked for: an invitation of
    // someone else stays today's event, and names keep their hosts.
    for (bool bExtended : {true, false})
    {
        SCOPED_TRACE(bExtended ? "extended host" : "today's host");
        SessionUnderTest session;
        if (bExtended)
            session.Session().SetExtendedHost();
        session.LogIn(true);
        session.Dispatch(":irc.test CAP * LS :server-time");
        session.Dispatch(":irc.test CAP * ACK :server-time invite-notify userhost-in-names");
        session.Welcome();
        session.JoinConfirmed("#lobby", "#lobby2");
        session.Clear();
        session.Dispatch(":op!o@h INVITE carol #lobby2");
        session.Dispatch(":irc.test 353 me = #lobby2 :bob!b@h");
        EXPECT_EQ((Lines{"op #lobby2"}), session.Heard(CHAT_EVENT_INVITE));
        EXPECT_EQ((Lines{"#lobby bob!b@h"}), session.Heard(CHAT_EVENT_MEMBER));
    }
}

TEST(ExtendedEvents, AHostBackOnTodaysSinkLogsInAsTodaysHost)
{
    // The sink handed over last decides what kind of host this is.
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.SetExtendedEventSink(&sink);
    chat.SetEventSink(&sink);
    chat.LogIn();
    chat.Dispatch(":irc.test CAP * LS :multi-prefix server-time");
    chat.Welcome();
    EXPECT_EQ((Lines{"CAP LS 302", "NICK me", "USER ... 0 *  :...", "CAP END"}), chat.TakeQueued());
    chat.JoinConfirmed("#lobby", "#lobby");
    chat.Dispatch(":op!o@h KICK #lobby me :out");
    // Today's host keeps the channel it was kicked from listed.
    EXPECT_EQ("#lobby", chat.SendsTo("#lobby"));
}

TEST(ExtendedEvents, NamesWithEveryPrefixAndTheirHostsKeepTheMembersByNickname)
{
    SessionUnderTest session;
    LogIn(session, "multi-prefix userhost-in-names");
    session.Dispatch(":irc.test 353 me = #lobby2 :@+bob!b@h.example carol!c@h");
    EXPECT_EQ((Lines{"#lobby @+bob", "#lobby carol"}), session.Heard(CHAT_EVENT_MEMBER));
    session.Dispatch(":bob!b@h NICK :bobby");
    session.Dispatch(":carol!c@h NICK :caro");
    EXPECT_EQ((Lines{"bob bobby #lobby", "carol caro #lobby"}), session.Heard(CHAT_EVENT_NICK));
}
