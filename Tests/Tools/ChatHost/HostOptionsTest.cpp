#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "HostOptions.h"

namespace
{
bool Parse(HostOptions& options, std::vector<const char*> args, std::string& error)
{
    args.insert(args.begin(), "ChatHost");
    return options.Parse(static_cast<int>(args.size()), args.data(), error);
}

TEST(HostOptions, TheServerAloneTakesTheDefaults)
{
    HostOptions options;
    std::string error;
    ASSERT_TRUE(Parse(options, {"irc.example.test"}, error)) << error;
    EXPECT_EQ("irc.example.test", options.server);
    EXPECT_EQ("guest", options.nickname);
    EXPECT_EQ("guest", options.userName) << "the user name follows the nickname";
    EXPECT_TRUE(options.channel.empty());
    EXPECT_TRUE(options.library.empty());
}

TEST(HostOptions, EveryOptionTakesItsValue)
{
    HostOptions options;
    std::string error;
    ASSERT_TRUE(Parse(options,
                      {"--nick", "ann", "--user", "annu", "--name", "Ann Example", "127.0.3.1",
                       "--channel", "#c", "--library", "C:\\kit\\ZymChat.dll"},
                      error))
        << error;
    EXPECT_EQ("127.0.3.1", options.server);
    EXPECT_EQ("ann", options.nickname);
    EXPECT_EQ("annu", options.userName);
    EXPECT_EQ("Ann Example", options.realName);
    EXPECT_EQ("#c", options.channel);
    EXPECT_EQ("C:\\kit\\ZymChat.dll", options.library);
}

TEST(HostOptions, UnusableLinesAreRefusedWithAReason)
{
    const std::vector<std::vector<const char*>> lines = {
        {}, {"--nick", "ann"}, {"a.test", "b.test"}, {"a.test", "--nick"},
        {"--colour", "red", "a.test"}, {"--nick", "", "a.test"},
        {"--nick", "ann\r\nQUIT", "a.test"}, {"--channel", "#c\nPART #c", "a.test"}};
    for (const auto& line : lines)
    {
        HostOptions options;
        std::string error;
        EXPECT_FALSE(Parse(options, line, error)) << line.size() << " arguments";
        EXPECT_FALSE(error.empty());
    }
}
}
