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
    EXPECT_FALSE(options.classic) << "the extended interface unless asked otherwise";
    EXPECT_TRUE(options.saslMechanism.empty());
}

TEST(HostOptions, TheExtendedInterfacesOptionsTakeTheirValues)
{
    HostOptions options;
    std::string error;
    ASSERT_TRUE(Parse(options,
                      {"--sasl", "SCRAM-SHA-256", "--account", "ann", "--password-env", "ANN_PW",
                       "--sasl-required", "--sasl-plaintext", "--echo", "a.test"},
                      error))
        << error;
    EXPECT_EQ("SCRAM-SHA-256", options.saslMechanism);
    EXPECT_EQ("ann", options.account);
    EXPECT_EQ("ANN_PW", options.passwordVariable);
    EXPECT_TRUE(options.saslRequired);
    EXPECT_TRUE(options.saslPlaintext);
    EXPECT_TRUE(options.echo);
    EXPECT_FALSE(options.classic);
}

TEST(HostOptions, ExternalTakesACertificateAndNoPassword)
{
    HostOptions options;
    std::string error;
    ASSERT_TRUE(Parse(options,
                      {"--client-cert", "1c 80 e5 d5 3e f7 a0 31 f7 d5 d1 11 be 1f 1f c2 96 06 f6 56",
                       "--sasl", "EXTERNAL", "--sasl-required", "ircs://a.test"},
                      error))
        << error;
    EXPECT_EQ("EXTERNAL", options.saslMechanism);
    EXPECT_EQ("1c 80 e5 d5 3e f7 a0 31 f7 d5 d1 11 be 1f 1f c2 96 06 f6 56",
              options.clientCertificate);
    EXPECT_TRUE(options.account.empty());
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
        {"--nick", "ann\r\nQUIT", "a.test"}, {"--channel", "#c\nPART #c", "a.test"},
        {"--sasl", "EXTERNAL", "--account", "a", "--password-env", "P", "a.test"},
        {"--sasl", "PLAIN", "--account", "a", "a.test"},
        {"--sasl", "PLAIN", "--password-env", "P", "a.test"},
        {"--classic", "--echo", "a.test"},
        {"--classic", "--sasl", "PLAIN", "--account", "a", "--password-env", "P", "a.test"},
        {"--sasl", "PLAIN", "--account", "a\r\nQUIT", "--password-env", "P", "a.test"},
        {"--sasl", "EXTERNAL", "a.test"},
        {"--classic", "--client-cert", "00", "a.test"}};
    for (const auto& line : lines)
    {
        HostOptions options;
        std::string error;
        EXPECT_FALSE(Parse(options, line, error)) << line.size() << " arguments";
        EXPECT_FALSE(error.empty());
    }
}
}
