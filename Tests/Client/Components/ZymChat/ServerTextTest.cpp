#include <gtest/gtest.h>

#include <string>

#include "ServerText.h"

namespace
{
    struct Case
    {
        const char* pszText;
        bool bValid;
        bool bSecure;
        const char* pszHost;
        int nPort;
    };

    const Case kCases[] = {
        {"irc.example.org", true, false, "irc.example.org", 6667},
        {"127.0.0.1", true, false, "127.0.0.1", 6667},
        {"irc.example.org:7000", true, false, "irc.example.org", 7000},
        {"localhost:1", true, false, "localhost", 1},
        {"localhost:65535", true, false, "localhost", 65535},
        {"ircs://irc.example.org", true, true, "irc.example.org", 6697},
        {"ircs://irc.example.org:7070", true, true, "irc.example.org", 7070},
        {"IRCS://Irc.Example.org", true, true, "Irc.Example.org", 6697},
        {"ircs://my_host-1", true, true, "my_host-1", 6697},
        // Malformed: each fails like a host that does not resolve.
        {"", false, false, "", 0},
        {"ircs://", false, false, "", 0},
        {"ircs://:6697", false, false, "", 0},
        {":6667", false, false, "", 0},
        {"localhost:0", false, false, "", 0},
        {"localhost:65536", false, false, "", 0},
        {"localhost:99999999999", false, false, "", 0},
        {"localhost:", false, false, "", 0},
        {"localhost:+80", false, false, "", 0},
        {"localhost:80x", false, false, "", 0},
        {"localhost:80:81", false, false, "", 0},
        {"irc://localhost", false, false, "", 0},
        {"https://localhost", false, false, "", 0},
        {"://localhost", false, false, "", 0},
        {"ircs://localhost/", false, false, "", 0},
        {"ircs://user@localhost", false, false, "", 0},
        {"local host", false, false, "", 0},
        {"localhost\r\nNICK x", false, false, "", 0},
        {"[::1]:6697", false, false, "", 0},
    };

    class ServerTextCase : public ::testing::TestWithParam<Case>
    {
    };
}

TEST_P(ServerTextCase, IsTakenApartOrRefused)
{
    const Case& c = GetParam();
    ServerText text;
    EXPECT_EQ(c.bValid, text.Parse(c.pszText));
    EXPECT_EQ(c.bValid, text.IsValid());
    EXPECT_EQ(c.bSecure, text.IsSecure());
    EXPECT_STREQ(c.pszHost, text.Host().Text());
    EXPECT_EQ(c.nPort, text.Port());
}

INSTANTIATE_TEST_SUITE_P(Forms, ServerTextCase, ::testing::ValuesIn(kCases));

TEST(ServerText, AHostOfMoreThan255CharactersIsRefusedAndAParseForgetsTheLastOne)
{
    ServerText text;
    ASSERT_TRUE(text.Parse("ircs://irc.example.org:7000"));
    EXPECT_FALSE(text.Parse(std::string(256, 'a').c_str()));
    EXPECT_FALSE(text.IsSecure());
    EXPECT_EQ(0, text.Port());
    EXPECT_TRUE(text.Parse(std::string(255, 'a').c_str()));
    EXPECT_FALSE(text.Parse(nullptr));
}
