// A host of the extended interface and a host of today's interface on a real
// InspIRCd with its IRCv3 modules, linked to Anope's services for SASL
// (with-irc-server.sh inspircd-services); a bare client of the test sends
// what no host operation does.
#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "ChatLibrary.h"
#include "ComponentInterfaces/ExtendedChatComponent.h"
#include "ComponentInterfaces/ExtendedChatEventSink.h"
#include "IntegrationClient.h"
#include "RawIrcClient.h"
#include "TestServer.h"
#include "TestSockets.h"

namespace
{
const int kWaitMs = IntegrationClient::kWaitMs;

class Ircv3Server : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        StartTestSockets();
        library_ = new ChatLibrary();
        std::string error;
        loaded_ = library_->Load(ChatLibrary::BesideProgram("ZymChat.dll"), error);
        loadError_ = error;
    }

    static void TearDownTestSuite()
    {
        delete library_;
        library_ = nullptr;
        StopTestSockets();
    }

    void SetUp() override
    {
        ASSERT_TRUE(loaded_) << loadError_;
        ASSERT_FALSE(TestServer::Address().empty())
            << "run through with-irc-server.sh, which names the server in ZYM_IRC_SERVER";
    }

    static ChatLibrary* library_;
    static bool loaded_;
    static std::string loadError_;
};

ChatLibrary* Ircv3Server::library_ = nullptr;
bool Ircv3Server::loaded_ = false;
std::string Ircv3Server::loadError_;

// The first detail with this code that matches, waited for.
bool WaitDetail(IntegrationClient& client, int code, const std::string& nickname,
                const std::string& text, EventRecord& found)
{
    return client.Sink().WaitFor(
        [&](const EventRecord& r) {
            if (r.kind != EventRecord::Detail || r.code != code || r.nickname != nickname ||
                r.text != text)
            {
                return false;
            }
            found = r;
            return true;
        },
        kWaitMs);
}

size_t CountKind(IntegrationClient& client, EventRecord::Kind kind)
{
    return client.Sink().CountMatching([kind](const EventRecord& r) { return r.kind == kind; });
}

std::string ToUpper(const char* text)
{
    std::string upper = text != nullptr ? text : "";
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool IsStamp(const std::string& time)
{
    return time.size() == 24 && time[10] == 'T' && time[23] == 'Z';
}
}

TEST_F(Ircv3Server, TheExtendedHostHearsTheServersEventsWithTheirTagsAndTodaysHostDoesNot)
{
    const std::string channel = "#" + TestServer::UniqueName("v3c");
    const std::string opName = TestServer::UniqueName("op");
    RawIrcClient op(TestServer::Address(), opName);
    ASSERT_TRUE(op.Registered());
    ASSERT_TRUE(op.Send("JOIN " + channel));
    ASSERT_TRUE(op.WaitFor(" 366 ", kWaitMs));
    ASSERT_TRUE(op.Send("TOPIC " + channel + " :first topic"));
    ASSERT_TRUE(op.WaitFor("TOPIC", kWaitMs));

    IntegrationClient alice(*library_, true);
    IntegrationClient bob(*library_, false);
    ASSERT_TRUE(alice.Created() && bob.Created());
    alice.Login(TestServer::UniqueName("ali"), channel);
    ASSERT_TRUE(alice.WaitJoined(channel));
    // The topic of the join (332) and who set it (333).
    EventRecord topic;
    ASSERT_TRUE(WaitDetail(alice, CHAT_EVENT_TOPIC, "", "first topic", topic));
    EXPECT_EQ(channel, topic.channel);
    ASSERT_TRUE(alice.Sink().WaitFor(
        [](const EventRecord& r) { return r.kind == EventRecord::Detail && r.code == CHAT_EVENT_TOPIC_SETTER; },
        kWaitMs));
    ASSERT_TRUE(alice.Sink().WaitFor(
        [](const EventRecord& r) {
            return r.kind == EventRecord::Detail && r.code == CHAT_EVENT_CAPABILITIES &&
                   r.text.find("server-time") != std::string::npos &&
                   r.text.find("multi-prefix") != std::string::npos;
        },
        kWaitMs));

    bob.Login(TestServer::UniqueName("bob"), channel);
    ASSERT_TRUE(bob.WaitJoined(channel));
    ASSERT_TRUE(alice.WaitText(CHAT_EVENT_MEMBER, channel + " " + bob.Nickname()));

    // A message comes with its tags first: the server's time and id.
    ASSERT_TRUE(op.Send("PRIVMSG " + channel + " :tagged hello"));
    EventRecord message;
    ASSERT_TRUE(WaitDetail(alice, CHAT_EVENT_MESSAGE_DETAILS, opName, "tagged hello", message));
    EXPECT_EQ(channel, message.channel);
    EXPECT_TRUE(IsStamp(message.time)) << message.time;
    EXPECT_FALSE(message.messageId.empty());
    ASSERT_TRUE(alice.WaitText(CHAT_EVENT_MESSAGE, channel + " " + opName + " tagged hello"));
    ASSERT_TRUE(bob.WaitText(CHAT_EVENT_MESSAGE, channel + " " + opName + " tagged hello"));

    ASSERT_TRUE(op.Send("MODE " + channel + " +v " + bob.Nickname()));
    EventRecord mode;
    ASSERT_TRUE(WaitDetail(alice, CHAT_EVENT_MODE, "", "+v " + bob.Nickname(), mode));
    EXPECT_EQ(channel, mode.channel);
    EXPECT_TRUE(IsStamp(mode.time)) << mode.time;

    ASSERT_TRUE(op.Send("KICK " + channel + " " + bob.Nickname() + " :out"));
    EventRecord kick;
    ASSERT_TRUE(WaitDetail(alice, CHAT_EVENT_KICK, bob.Nickname(), "out", kick));
    EXPECT_EQ(channel, kick.channel);

    ASSERT_TRUE(op.Send("TOPIC " + channel + " :second topic"));
    ASSERT_TRUE(WaitDetail(alice, CHAT_EVENT_TOPIC, "", "second topic", topic));

    {
        RawIrcClient dave(TestServer::Address(), TestServer::UniqueName("dave"));
        ASSERT_TRUE(dave.Registered());
        ASSERT_TRUE(dave.Send("JOIN " + channel));
        ASSERT_TRUE(dave.WaitFor(" 366 ", kWaitMs));
        ASSERT_TRUE(dave.Send("QUIT :gone home"));
        ASSERT_TRUE(alice.Sink().WaitFor(
            [&](const EventRecord& r) {
                return r.kind == EventRecord::Detail && r.code == CHAT_EVENT_QUIT &&
                       r.text.find("gone home") != std::string::npos;
            },
            kWaitMs));
    }

    // Our own KICK: the channel leaves the table, so it no longer takes
    // messages until it is joined again.
    ASSERT_TRUE(op.Send("KICK " + channel + " " + alice.Nickname() + " :bye"));
    ASSERT_TRUE(WaitDetail(alice, CHAT_EVENT_KICK, alice.Nickname(), "bye", kick));
    EXPECT_EQ(-1, alice.Chat().SendChannelMessage(channel.c_str(), "still here?"));

    // Today's host on the same server: today's events only. Its channel
    // stays listed after the KICK, as it always did, so the notices it had
    // queued for the channel may still meet 404; nothing else goes wrong.
    EXPECT_EQ(0u, CountKind(bob, EventRecord::Detail));
    for (const std::string& error : bob.Errors())
        EXPECT_EQ(0u, error.find("404 ")) << error;
    EXPECT_TRUE(alice.Errors().empty()) << ::testing::PrintToString(alice.Errors());
}

TEST_F(Ircv3Server, ASaslPlainLoginThroughTheServicesAndARefusedOneThatWasRequired)
{
    const std::string account = TestServer::UniqueName("acc");
    {
        RawIrcClient owner(TestServer::Address(), account);
        ASSERT_TRUE(owner.Registered());
        ASSERT_TRUE(owner.Send("PRIVMSG NickServ :REGISTER sekret7 " + account + "@example.test"));
        ASSERT_TRUE(owner.WaitFor("registered", kWaitMs));
        ASSERT_TRUE(owner.Send("QUIT"));
    }
    const int flags = SASL_LOGIN_REQUIRED | SASL_LOGIN_ALLOW_PLAINTEXT;
    const std::string channel = "#" + TestServer::UniqueName("sasl");

    IntegrationClient alice(*library_, true);
    ASSERT_TRUE(alice.Created());
    ASSERT_EQ(1, static_cast<ExtendedChatComponent&>(alice.Chat())
                     .SetSaslLogin("PLAIN", account.c_str(), "sekret7", flags));
    alice.Login(TestServer::UniqueName("sas"), channel);
    ASSERT_TRUE(alice.WaitJoined(channel));
    ASSERT_TRUE(alice.Sink().WaitFor(
        [&](const EventRecord& r) {
            return r.kind == EventRecord::Detail && r.code == CHAT_EVENT_LOGGED_IN && r.account == account;
        },
        kWaitMs));
    EXPECT_TRUE(alice.Errors().empty());

    // Another extended host hears the account alice's messages come from.
    IntegrationClient bea(*library_, true);
    ASSERT_TRUE(bea.Created());
    bea.Login(TestServer::UniqueName("bea"), channel);
    ASSERT_TRUE(bea.WaitJoined(channel));
    ASSERT_EQ(1, alice.Chat().SendChannelMessage(channel.c_str(), "signed"));
    EventRecord message;
    ASSERT_TRUE(WaitDetail(bea, CHAT_EVENT_MESSAGE_DETAILS, alice.Nickname(), "signed", message));
    EXPECT_EQ(account, message.account);
    EXPECT_TRUE(IsStamp(message.time)) << message.time;

    IntegrationClient mallory(*library_, true);
    ASSERT_TRUE(mallory.Created());
    ASSERT_EQ(1, static_cast<ExtendedChatComponent&>(mallory.Chat())
                     .SetSaslLogin("PLAIN", account.c_str(), "wrong", flags));
    mallory.Login(TestServer::UniqueName("mal"), channel);
    ASSERT_TRUE(mallory.Sink().WaitFor(
        [](const EventRecord& r) { return r.kind == EventRecord::Error && r.code == 904; }, kWaitMs));
    // The login does not go on without the account: no welcome, no join.
    EXPECT_FALSE(mallory.WaitJoined(channel)) << "a required login that failed still joined";
    EXPECT_EQ(0u, mallory.Sink().CountMatching(
                      [](const EventRecord& r) { return r.kind == EventRecord::Text && r.code == CHAT_EVENT_MOTD; }));
}

// Run through with-client-certificate.sh and register-certificate-account.py
// over TLS that asks for a certificate
// (ZymChat.Ircv3.inspircd.client-certificate): the account's certificate
// list holds the certificate of the prefix's MY store.
TEST_F(Ircv3Server, ASaslExternalLoginWithAClientCertificateFromTheStore)
{
    const char* thumbprint = std::getenv("ZYM_CLIENT_CERT_SHA1");
    const char* account = std::getenv("ZYM_CLIENT_CERT_ACCOUNT");
    const char* tls = std::getenv("ZYM_IRC_TLS_SERVER");
    ASSERT_TRUE(thumbprint != nullptr && account != nullptr && tls != nullptr)
        << "run through with-client-certificate.sh and register-certificate-account.py";
    // As the system's certificate dialog shows it: pairs with blanks between.
    std::string shown;
    for (size_t i = 0; thumbprint[i] != '\0'; i += 2)
        shown += std::string(i == 0 ? "" : " ") + thumbprint[i] + thumbprint[i + 1];

    const std::string channel = "#" + TestServer::UniqueName("ext");

    IntegrationClient alice(*library_, true);
    ASSERT_TRUE(alice.Created());
    auto& extended = static_cast<ExtendedChatComponent&>(alice.Chat());
    ASSERT_EQ(1, extended.SetClientCertificate(shown.c_str()));
    ASSERT_EQ(1, extended.SetSaslLogin("EXTERNAL", nullptr, nullptr, SASL_LOGIN_REQUIRED));
    alice.Login(TestServer::UniqueName("crt"), channel, tls);
    ASSERT_TRUE(alice.WaitJoined(channel)) << ::testing::PrintToString(alice.Errors());
    ASSERT_TRUE(alice.Sink().WaitFor(
        [&](const EventRecord& r) {
            return r.kind == EventRecord::Detail && r.code == CHAT_EVENT_LOGGED_IN &&
                   r.account == account;
        },
        kWaitMs));
    EXPECT_TRUE(alice.Errors().empty()) << ::testing::PrintToString(alice.Errors());

    // A certificate the store does not hold, and one it holds without a
    // key: the connect fails before the server sees a login, naming it.
    const std::string keyless = ToUpper(std::getenv("ZYM_CLIENT_CERT_KEYLESS_SHA1"));
    ASSERT_FALSE(keyless.empty());
    const std::pair<std::string, std::string> unusable[] = {
        {std::string(40, '0'), "is in no MY certificate store"},
        {keyless, "private key is unusable"}};
    for (const auto& certificate : unusable)
    {
        SCOPED_TRACE(certificate.first);
        IntegrationClient mallory(*library_, true);
        ASSERT_TRUE(mallory.Created());
        auto& other = static_cast<ExtendedChatComponent&>(mallory.Chat());
        ASSERT_EQ(1, other.SetClientCertificate(certificate.first.c_str()));
        ASSERT_EQ(1, other.SetSaslLogin("EXTERNAL", nullptr, nullptr, SASL_LOGIN_REQUIRED));
        mallory.Login(TestServer::UniqueName("mal"), channel, tls);
        ASSERT_TRUE(mallory.Sink().WaitFor(
            [&](const EventRecord& r) {
                return r.kind == EventRecord::Error && r.code == -1013 &&
                       r.text.find(certificate.first) != std::string::npos &&
                       r.text.find(certificate.second) != std::string::npos;
            },
            kWaitMs))
            << ::testing::PrintToString(mallory.Errors());
        EXPECT_EQ(0u, mallory.Sink().CountMatching([](const EventRecord& r) {
            return r.kind == EventRecord::Detail && r.code == CHAT_EVENT_LOGGED_IN;
        }));
    }
}

// The same hosts on a server that knows CAP but offers little of it
// (with-irc-server.sh ngircd): no SASL, no tags, no server time.
class FewCapabilitiesServer : public Ircv3Server
{
};

TEST_F(FewCapabilitiesServer, TheExtendedHostTakesWhatIsOfferedAndStampsMessagesItself)
{
    const std::string channel = "#" + TestServer::UniqueName("few");
    IntegrationClient alice(*library_, true);
    IntegrationClient bob(*library_, false);
    IntegrationClient carol(*library_, true);
    ASSERT_TRUE(alice.Created() && bob.Created() && carol.Created());
    auto isError = [](int code) {
        return [code](const EventRecord& r) { return r.kind == EventRecord::Error && r.code == code; };
    };

    // A login the host did not require: the host hears that SASL is not
    // offered, and the connection goes on without it.
    ASSERT_EQ(1, static_cast<ExtendedChatComponent&>(alice.Chat())
                     .SetSaslLogin("PLAIN", "acct", "pw", SASL_LOGIN_ALLOW_PLAINTEXT));
    alice.Login(TestServer::UniqueName("ali"), channel);
    ASSERT_TRUE(alice.WaitJoined(channel));
    EXPECT_EQ(1u, alice.Sink().CountMatching(isError(-1010)));
    EventRecord caps;
    ASSERT_TRUE(alice.Sink().WaitFor(
        [&caps](const EventRecord& r) {
            if (r.kind != EventRecord::Detail || r.code != CHAT_EVENT_CAPABILITIES)
                return false;
            caps = r;
            return true;
        },
        kWaitMs));
    EXPECT_EQ(std::string::npos, caps.text.find("server-time")) << caps.text;

    bob.Login(TestServer::UniqueName("bob"), channel);
    ASSERT_TRUE(bob.WaitJoined(channel));
    ASSERT_EQ(1, bob.Chat().SendChannelMessage(channel.c_str(), "plain hello"));
    EventRecord message;
    ASSERT_TRUE(WaitDetail(alice, CHAT_EVENT_MESSAGE_DETAILS, bob.Nickname(), "plain hello", message));
    EXPECT_TRUE(IsStamp(message.time)) << message.time;
    EXPECT_EQ("", message.account);
    EXPECT_EQ("", message.messageId);
    ASSERT_TRUE(alice.WaitText(CHAT_EVENT_MESSAGE, channel + " " + bob.Nickname() + " plain hello"));
    ASSERT_EQ(1, alice.Chat().SendChannelMessage(channel.c_str(), "and back"));
    ASSERT_TRUE(bob.WaitText(CHAT_EVENT_MESSAGE, channel + " " + alice.Nickname() + " and back"));
    EXPECT_EQ(0u, CountKind(bob, EventRecord::Detail));

    // A required login cannot be had here: no welcome, no join.
    ASSERT_EQ(1, static_cast<ExtendedChatComponent&>(carol.Chat())
                     .SetSaslLogin("PLAIN", "acct", "pw", SASL_LOGIN_REQUIRED | SASL_LOGIN_ALLOW_PLAINTEXT));
    carol.Login(TestServer::UniqueName("car"), channel);
    ASSERT_TRUE(carol.Sink().WaitFor(isError(-1010), kWaitMs));
    EXPECT_FALSE(carol.WaitJoined(channel)) << "a required login that could not be had still joined";
}
