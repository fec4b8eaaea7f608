#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ChatEventSink.h"
#include "SessionUnderTest.h"

// Legal forms of server lines that a host must hear the same as their usual
// form: a parameter without its colon, a colon or a blank inside one, a
// prefix without user and host, the server's own channel types, member marks
// and letter case. The session is driven directly: what it writes is what
// the host hears and the server receives.

namespace
{
    typedef std::vector<std::string> Lines;

    // Welcomed, in #lobby (the server's #lobby12) and &local, with bob a
    // member of #lobby.
    void JoinLobbyAndLocal(SessionUnderTest& chat)
    {
        chat.Welcome();
        chat.JoinConfirmed("#lobby", "#lobby12");
        chat.JoinConfirmed("&local", "&local");
        chat.Dispatch(":bob!b@h JOIN :#lobby12");
        chat.Clear();
    }
}

TEST(ServerLineForms, HostHearsEachFormOfALine)
{
    struct Case
    {
        const char* pszWhat;
        Lines lines;
        int nCode;
        Lines heard;
    };
    const Case cases[] = {
        {"one-word text without colon", {":bob!b@h PRIVMSG #lobby12 hello"}, CHAT_EVENT_MESSAGE,
         {"#lobby bob hello"}},
        {"colon inside a middle text", {":bob!b@h PRIVMSG #lobby12 hello:world"},
         CHAT_EVENT_MESSAGE, {"#lobby bob hello:world"}},
        {"channel of another type", {":bob!b@h PRIVMSG &local :hi"}, CHAT_EVENT_MESSAGE,
         {"&local bob hi"}},
        {"channel in the server's other case", {":bob!b@h PRIVMSG #LOBBY12 :hi"},
         CHAT_EVENT_MESSAGE, {"#lobby bob hi"}},
        {"attribute value with blanks",
         {":bob!b@h NOTICE #lobby12 :ZYMATTRIBUPDATE name Alice Smith"}, CHAT_EVENT_ATTRIBUTE,
         {"#lobby bob name Alice Smith"}},
        {"voiced member renamed",
         {":irc.test 353 me = #lobby12 :+vic @op", ":vic!v@h NICK :victor"}, CHAT_EVENT_NICK,
         {"vic victor #lobby"}},
        {"member renamed under the server's case mapping",
         {":irc.test 353 me = #lobby12 :[x]", ":{X}!x@h NICK :y"}, CHAT_EVENT_NICK,
         {"{X} y #lobby"}},
        {"part from a prefix without user", {":bob PART #lobby12"}, CHAT_EVENT_PART,
         {"#lobby bob"}},
        {"quit from a prefix without user forgets the member",
         {":bob QUIT :gone", ":bob!b@h NICK :bobby"}, CHAT_EVENT_NICK, {}},
        {"invitation to a channel of another type", {":bob!b@h INVITE me :&other"},
         CHAT_EVENT_INVITE, {"bob &other"}},
        {"channel type the server announces",
         {":irc.test 005 me CHANTYPES=#+ :are supported", ":irc.test 322 me +plus 2 :x"},
         CHAT_EVENT_LIST_ENTRY, {"+plus"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        SessionUnderTest chat;
        JoinLobbyAndLocal(chat);
        for (const std::string& line : c.lines)
            chat.Dispatch(line);
        EXPECT_EQ(c.heard, chat.Heard(c.nCode));
    }
}

TEST(ServerLineForms, ChannelTableFollowsEachFormOfALine)
{
    struct Case
    {
        const char* pszWhat;
        std::function<void(SessionUnderTest&)> act;
        std::function<void(SessionUnderTest&)> check;
    };
    const Case cases[] = {
        {"own part from a prefix without user completes a leave",
         [](SessionUnderTest& chat) {
             chat.Session().LeaveChannel("#lobby", chat.Out());
             chat.Dispatch(":me PART #lobby12");
         },
         [](SessionUnderTest& chat) { EXPECT_EQ("-", chat.ReachesHostAs("#lobby12")); }},
        {"joining a joined channel again keeps it joined",
         [](SessionUnderTest& chat) { chat.Session().JoinChannel("#lobby", 0, chat.Out()); },
         [](SessionUnderTest& chat) { EXPECT_EQ("#lobby12", chat.SendsTo("#lobby")); }},
        {"own join in the server's case while two joins are under way",
         [](SessionUnderTest& chat) {
             chat.Session().JoinChannel("#Dev", 0, chat.Out());
             chat.Session().JoinChannel("#ops", 0, chat.Out());
             chat.Dispatch(":me!u@h JOIN :#dev");
         },
         [](SessionUnderTest& chat) { EXPECT_EQ("#dev", chat.SendsTo("#Dev")); }},
        {"attribute request without colon is answered",
         [](SessionUnderTest& chat) {
             chat.Session().AttributeUpdate("color", "blue", chat.Out());
             chat.TakeLines();
             chat.Dispatch(":bob!b@h NOTICE #lobby12 ZYMATTRIBREQUEST");
         },
         [](SessionUnderTest& chat) {
             EXPECT_EQ(Lines{"NOTICE #lobby12 :ZYMATTRIBUPDATE color blue"}, chat.TakeLines());
         }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        SessionUnderTest chat;
        JoinLobbyAndLocal(chat);
        c.act(chat);
        c.check(chat);
    }
}
