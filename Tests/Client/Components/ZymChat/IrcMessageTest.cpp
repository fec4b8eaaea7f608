#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IrcMessage.h"
#include "ServerRules.h"

namespace
{
    typedef std::vector<std::string> Words;

    // What a handler reads of a message, in one text per field.
    struct Fields
    {
        std::string source;
        std::string user;
        std::string host;
        std::string command;
        Words parameters;
    };

    void ExpectFields(const Fields& expected, const IrcMessage& message)
    {
        EXPECT_EQ(expected.source, message.Source());
        EXPECT_EQ(expected.user, message.User());
        EXPECT_EQ(expected.host, message.Host());
        EXPECT_EQ(expected.command, message.Command());
        EXPECT_EQ(expected.parameters, message.Parameters());
    }
}

// Each field is found by its place in the grammar: a colon or a "#" inside a
// word is part of that word, and the trailing parameter may hold anything.
TEST(IrcMessage, FieldsFollowTheGrammar)
{
    struct Case
    {
        const char* pszLine;
        Fields fields;
    };
    const Case cases[] = {
        {":bob!b@h PRIVMSG #c :hello there: friend",
         {"bob", "b", "h", "PRIVMSG", {"#c", "hello there: friend"}}},
        {":bob!b@h PRIVMSG #c hello:world", {"bob", "b", "h", "PRIVMSG", {"#c", "hello:world"}}},
        {":bob!b@2001:db8::1 PRIVMSG #c :x", {"bob", "b", "2001:db8::1", "PRIVMSG", {"#c", "x"}}},
        {":me PART #c", {"me", "", "", "PART", {"#c"}}},
        {":me@h PART #c :bye now", {"me", "", "h", "PART", {"#c", "bye now"}}},
        {":irc.test 353 me = #c :@op +voice plain",
         {"irc.test", "", "", "353", {"me", "=", "#c", "@op +voice plain"}}},
        {"PING :token with blanks", {"", "", "", "PING", {"token with blanks"}}},
        {"PING tok", {"", "", "", "PING", {"tok"}}},
        {":s   NOTICE   me   :  two blanks", {"s", "", "", "NOTICE", {"me", "  two blanks"}}},
        {":s CMD a b ", {"s", "", "", "CMD", {"a", "b"}}},
        {":s CMD :", {"s", "", "", "CMD", {""}}},
        {":s CMD ::x", {"s", "", "", "CMD", {":x"}}},
        {":a!b!c@d@e CMD", {"a", "b!c", "d@e", "CMD", {}}},
        // After fourteen middle parameters the rest of the line is the
        // fifteenth, colon or not.
        {"CMD 1 2 3 4 5 6 7 8 9 10 11 12 13 14 rest of it",
         {"", "", "", "CMD",
          {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14",
           "rest of it"}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszLine);
        IrcMessage message;
        ASSERT_TRUE(message.Parse(c.pszLine));
        ExpectFields(c.fields, message);
    }
}

TEST(IrcMessage, LinesThatAreNoMessageAreRefused)
{
    const char* const lines[] = {
        "", "   ", ":bob!b@h", ": PRIVMSG #c :x", ":!u@h PRIVMSG #c :x", "@a=b", "@a=b :s",
        "12 x", "1x2 x", "PRIV-MSG x", "PRIVMSG2 x", "@a=b :s 4x5 y",
    };
    for (const char* pszLine : lines)
    {
        SCOPED_TRACE(pszLine);
        IrcMessage message;
        EXPECT_FALSE(message.Parse(pszLine));
        EXPECT_EQ("", message.Command());
        EXPECT_EQ(0u, message.ParameterCount());
    }
    IrcMessage message;
    EXPECT_FALSE(message.Parse(nullptr));
}

TEST(IrcMessage, TagsAreUnescapedAndTheLastOfARepeatedKeyCounts)
{
    IrcMessage message;
    ASSERT_TRUE(message.Parse(
        "@time=2026-12-08T17:00:00Z;msg=a\\sb\\:c\\\\d\\r\\n\\xq\\;+vendor/x;a=1;a=2;;=v :n!u@h "
        "PRIVMSG #c :hi"));
    ASSERT_EQ(4u, message.Tags().size());
    EXPECT_EQ("2026-12-08T17:00:00Z", *message.TagValue("time"));
    EXPECT_EQ(std::string("a b;c\\d\r\nxq"), *message.TagValue("msg"));
    EXPECT_EQ("", *message.TagValue("+vendor/x"));
    EXPECT_EQ("2", *message.TagValue("a"));
    EXPECT_EQ("a", message.Tags()[3].m_Key);
    EXPECT_EQ(nullptr, message.TagValue("missing"));
    EXPECT_EQ("PRIVMSG", message.Command());
    EXPECT_EQ("n", message.Source());

    // A line as long as a server may send, all tags: every key once, in the
    // place of its first use, with the value of its last.
    std::string line = "@";
    size_t nKeys = 0;
    for (; line.size() < 8000; ++nKeys)
        line += "k" + std::to_string(nKeys) + "=" + std::to_string(nKeys) + ";";
    line += "k0=last;k1 :n PING x";
    ASSERT_TRUE(message.Parse(line.c_str()));
    ASSERT_EQ(nKeys, message.Tags().size());
    EXPECT_EQ("k0", message.Tags()[0].m_Key);
    EXPECT_EQ("last", message.Tags()[0].m_Value);
    EXPECT_EQ("", *message.TagValue("k1"));
    EXPECT_EQ("k" + std::to_string(nKeys - 1), message.Tags().back().m_Key);
}

// Serialising gives a line that parses to the same message, and serialises
// to itself again.
TEST(IrcMessage, SerialisedMessageParsesToItself)
{
    const char* const lines[] = {
        "@msg=a\\sb\\:c\\\\d;flag :bob!b@h PRIVMSG #c :hello there: friend",
        ":a@b!c CMD", ":s CMD :", ":s CMD ::x", ":s CMD a :b c",
        "CMD 1 2 3 4 5 6 7 8 9 10 11 12 13 14 :rest of it ",
        "@k=\\ CMD x", ":n!u CMD",
    };
    for (const char* pszLine : lines)
    {
        SCOPED_TRACE(pszLine);
        IrcMessage first;
        ASSERT_TRUE(first.Parse(pszLine));
        std::string line = first.Serialise();
        IrcMessage second;
        ASSERT_TRUE(second.Parse(line.c_str())) << line;
        EXPECT_TRUE(first == second) << line;
        EXPECT_EQ(line, second.Serialise());
    }
}

TEST(IrcMessage, NumericsAndServerPrefixes)
{
    IrcMessage message;
    ASSERT_TRUE(message.Parse(":irc.test 005 me CHANTYPES=# :are supported"));
    EXPECT_EQ(5, message.Numeric());
    EXPECT_TRUE(message.FromServer());
    EXPECT_FALSE(message.FromUser());
    ASSERT_TRUE(message.Parse(":irc.test 433abc * me :in use"));
    EXPECT_EQ(433, message.Numeric());
    ASSERT_TRUE(message.Parse("4330 x"));
    EXPECT_EQ(4330, message.Numeric());
    ASSERT_TRUE(message.Parse(":bob PART #c"));
    EXPECT_EQ(-1, message.Numeric());
    EXPECT_TRUE(message.FromUser());
    ASSERT_TRUE(message.Parse("PING x"));
    EXPECT_FALSE(message.FromUser());
    EXPECT_FALSE(message.FromServer());
}

// What the server says of its names, before and after its ISUPPORT reply.
TEST(ServerRules, DefaultsAndTheServersOwnRules)
{
    ServerRules rules;
    EXPECT_TRUE(rules.IsChannel("#c"));
    EXPECT_TRUE(rules.IsChannel("&c"));
    EXPECT_FALSE(rules.IsChannel("!c"));
    EXPECT_FALSE(rules.IsChannel(""));
    EXPECT_EQ("bob", rules.WithoutMemberMarks("+bob"));
    EXPECT_EQ("bob", rules.WithoutMemberMarks("@+bob"));
    EXPECT_EQ("%bob", rules.WithoutMemberMarks("%bob"));
    EXPECT_TRUE(rules.SameName("Bob[m]~", "bob{M}^"));
    EXPECT_EQ("bob{m}^", ServerRules::IndexKey("Bob[m]~"));
    EXPECT_EQ(0u, rules.NicknameLength());

    IrcMessage support;
    ASSERT_TRUE(support.Parse(":irc.test 005 me CHANTYPES=!# PREFIX=(qaohv)~&@%+ "
                              "CASEMAPPING=strict-rfc1459 NICKLEN=30 CHANNELLEN=50 "
                              ":are supported by this server"));
    rules.Read(support);
    EXPECT_TRUE(rules.IsChannel("!c"));
    EXPECT_FALSE(rules.IsChannel("&c"));
    EXPECT_EQ("bob", rules.WithoutMemberMarks("~&@%+bob"));
    EXPECT_TRUE(rules.SameName("[a]", "{A}"));
    EXPECT_FALSE(rules.SameName("~", "^"));
    // The index key stays the widest fold whatever the server announced.
    EXPECT_EQ("{a}^", ServerRules::IndexKey("[A]~"));
    EXPECT_EQ(30u, rules.NicknameLength());
    EXPECT_EQ(50u, rules.ChannelLength());

    ASSERT_TRUE(support.Parse(":irc.test 005 me CASEMAPPING=ascii PREFIX= -CHANTYPES :are supported"));
    rules.Read(support);
    EXPECT_FALSE(rules.SameName("[", "{"));
    EXPECT_TRUE(rules.SameName("ABC", "abc"));
    EXPECT_EQ("@bob", rules.WithoutMemberMarks("@bob"));
    EXPECT_TRUE(rules.IsChannel("&c"));

    // Other numerics are not the server's rules.
    ASSERT_TRUE(support.Parse(":irc.test 004 me CHANTYPES=+ :x"));
    rules.Read(support);
    EXPECT_FALSE(rules.IsChannel("+c"));
}
