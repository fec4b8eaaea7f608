#include <gtest/gtest.h>

#include "ComponentInterfaces/ExtendedChatEventSink.h"
#include "EventText.h"

namespace
{
EventRecord Text(int code, const std::string& text)
{
    return EventRecord{EventRecord::Text, code, 0, true, text};
}

TEST(EventText, FieldsOfTheComponentsTextsAreNamed)
{
    EXPECT_EQ("#c <bob> hi: there", EventText::Describe(Text(CHAT_EVENT_MESSAGE, "#c bob hi: there")));
    EXPECT_EQ("#c: bob is here", EventText::Describe(Text(CHAT_EVENT_MEMBER, "#c bob")));
    EXPECT_EQ("#c: bob has left", EventText::Describe(Text(CHAT_EVENT_PART, "#c bob")));
    EXPECT_EQ("#c: bob has k = v", EventText::Describe(Text(CHAT_EVENT_ATTRIBUTE, "#c bob k v")));
    EXPECT_EQ("#c: bob is now known as rob",
              EventText::Describe(Text(CHAT_EVENT_NICK, "bob rob #c")));
    EXPECT_EQ("bob invites you to #c", EventText::Describe(Text(CHAT_EVENT_INVITE, "bob #c")));
    EXPECT_EQ("list entry: #a #b", EventText::Describe(Text(CHAT_EVENT_LIST_ENTRY, "#a #b")));
}

TEST(EventText, TextsOfAnotherShapeAreShownAsTheyCame)
{
    // The private form of an attribute carries three fields.
    EXPECT_EQ("attribute: c bob v", EventText::Describe(Text(CHAT_EVENT_ATTRIBUTE, "c bob v")));
    EXPECT_EQ("member: #c", EventText::Describe(Text(CHAT_EVENT_MEMBER, "#c")));
    EXPECT_EQ("nickname change: bob rob", EventText::Describe(Text(CHAT_EVENT_NICK, "bob rob")));
    EXPECT_EQ("message: ", EventText::Describe(Text(CHAT_EVENT_MESSAGE, "")));
    EXPECT_EQ("event 7: x", EventText::Describe(Text(7, "x")));
}

TEST(EventText, NullTextsEventsAndErrors)
{
    EXPECT_EQ("names requested",
              EventText::Describe(EventRecord{EventRecord::Text, CHAT_EVENT_NAMES, 0, false, ""}));
    EXPECT_EQ("names requested for #c", EventText::Describe(Text(CHAT_EVENT_NAMES, "#c")));
    EXPECT_EQ("end of channel list",
              EventText::Describe(EventRecord{EventRecord::Event, CHAT_EVENT_LIST_END, 0, false, ""}));
    EXPECT_EQ("event 4 value 9",
              EventText::Describe(EventRecord{EventRecord::Event, 4, 9, false, ""}));
    EXPECT_EQ("error 433: 433-Nickname in use",
              EventText::Describe(EventRecord{EventRecord::Error, 433, 0, true, "433-Nickname in use"}));
}

TEST(EventText, DetailsShowTheirFieldsAndTags)
{
    auto detail = [](int code, const char* channel, const char* nickname, const char* source,
                     const char* text, const char* account) {
        EventRecord r{EventRecord::Detail, code, 0, true, text};
        r.channel = channel;
        r.nickname = nickname;
        r.source = source;
        r.account = account;
        r.time = "2026-12-08T20:00:00.000Z";
        r.messageId = "m1";
        return EventText::Describe(r);
    };
    EXPECT_EQ("#c: bob was kicked by op (bye) [2026-12-08T20:00:00.000Z account=acc msgid=m1]",
              detail(CHAT_EVENT_KICK, "#c", "bob", "op", "bye", "acc"));
    EXPECT_EQ("#c <bob> hi: there [2026-12-08T20:00:00.000Z account=acc msgid=m1]",
              detail(CHAT_EVENT_MESSAGE_DETAILS, "#c", "bob", "", "hi: there", "acc"));
    EXPECT_EQ("bob has quit (gone) [2026-12-08T20:00:00.000Z msgid=m1]",
              detail(CHAT_EVENT_QUIT, "", "bob", "", "gone", ""));
    EXPECT_EQ("#c: topic: hello [2026-12-08T20:00:00.000Z msgid=m1]",
              detail(CHAT_EVENT_TOPIC, "#c", "", "", "hello", ""));
    EXPECT_EQ("me: mode +i by irc.test [2026-12-08T20:00:00.000Z msgid=m1]",
              detail(CHAT_EVENT_MODE, "", "me", "irc.test", "+i", ""));
    EXPECT_EQ("bob logged out [2026-12-08T20:00:00.000Z]",
              detail(CHAT_EVENT_ACCOUNT, "", "bob", "", "", ""));
    EXPECT_EQ("bob is now u@new.host [2026-12-08T20:00:00.000Z msgid=m1]",
              detail(CHAT_EVENT_HOST_CHANGE, "", "bob", "", "u new.host", ""));
}

TEST(EventText, FieldPicksOneWordOrTheRest)
{
    EXPECT_EQ("b", EventText::Field("a b c d", 1));
    EXPECT_EQ("c d", EventText::Field("a b c d", 2, true));
    EXPECT_EQ("", EventText::Field("a b", 2));
    EXPECT_EQ("", EventText::Field("a b", 5, true));
    EXPECT_EQ("a", EventText::Field("a", 0));
}
}
