#include "Tokenizer.h"

#include <gtest/gtest.h>

#include <string>

TEST(Tokenizer, EmptyAndSingleLetterTexts)
{
    Tokenizer empty("", ' ');
    EXPECT_EQ(1, empty.GetCount());
    EXPECT_STREQ("", empty.GetToken(0));

    Tokenizer letter("a", ' ');
    EXPECT_EQ(1, letter.GetCount());
    EXPECT_STREQ("a", letter.GetToken(0));
}

TEST(Tokenizer, EveryDelimiterSeparatesTwoTokens)
{
    Tokenizer t(":a::b:", ':');
    ASSERT_EQ(5, t.GetCount());
    EXPECT_STREQ("", t.GetToken(0));
    EXPECT_STREQ("a", t.GetToken(1));
    EXPECT_STREQ("", t.GetToken(2));
    EXPECT_STREQ("b", t.GetToken(3));
    EXPECT_STREQ("", t.GetToken(4));

    Tokenizer only(":", ':');
    ASSERT_EQ(2, only.GetCount());
    EXPECT_STREQ("", only.GetToken(0));
    EXPECT_STREQ("", only.GetToken(1));
}

TEST(Tokenizer, OutOfRangeIndexGivesNoTokens)
{
    Tokenizer t("nick!user", '!');
    ASSERT_EQ(2, t.GetCount());
    EXPECT_STREQ("nick", t.GetToken(0));
    EXPECT_STREQ("user", t.GetToken(1));
    EXPECT_STREQ("no tokens", t.GetToken(2));
    EXPECT_STREQ("no tokens", t.GetToken(-1));
}

TEST(Tokenizer, ProtocolLineKeepsDoubleBlanksAndTheTrailingText)
{
    Tokenizer t(":bob!b@host PRIVMSG #c  :hi there", ' ');
    ASSERT_EQ(6, t.GetCount());
    EXPECT_STREQ(":bob!b@host", t.GetToken(0));
    EXPECT_STREQ("PRIVMSG", t.GetToken(1));
    EXPECT_STREQ("#c", t.GetToken(2));
    EXPECT_STREQ("", t.GetToken(3));
    EXPECT_STREQ(":hi", t.GetToken(4));
    EXPECT_STREQ("there", t.GetToken(5));
}

TEST(Tokenizer, TokensDoNotKeepTheSourceText)
{
    std::string line(600, 'x');
    line[300] = ',';
    Tokenizer* pTokens = new Tokenizer(line.c_str(), ',');
    line.assign(line.size(), 'y');
    EXPECT_EQ(std::string(300, 'x'), pTokens->GetToken(0));
    EXPECT_EQ(std::string(299, 'x'), pTokens->GetToken(1));
    delete pTokens;
}
