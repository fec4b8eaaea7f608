// Two or three chat components meet on a real IRC server started for the run
// by with-irc-server.sh (ngircd or InspIRCd on a loopback address).
#include <memory>

#include <gtest/gtest.h>

#include "ChatLibrary.h"
#include "ComponentInterfaces/ChatEventSink.h"
#include "IntegrationClient.h"
#include "ServerRelay.h"
#include "TestServer.h"

namespace
{
class RealServer : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        library_ = new ChatLibrary();
        std::string error;
        loaded_ = library_->Load(ChatLibrary::BesideProgram("ZymChat.dll"), error);
        loadError_ = error;
    }

    static void TearDownTestSuite()
    {
        delete library_;
        library_ = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(loaded_) << loadError_;
        ASSERT_FALSE(TestServer::Address().empty())
            << "run through with-irc-server.sh, which names the server in ZYM_IRC_SERVER";
    }

    std::unique_ptr<IntegrationClient> NewClient()
    {
        std::unique_ptr<IntegrationClient> client(new IntegrationClient(*library_));
        EXPECT_TRUE(client->Created());
        return client;
    }

    // Two clients in one new channel: the first one opens it, the second one
    // joins after it and each has seen the other. The first one connects to
    // serverA when it is given, else to the test server.
    void MeetInChannel(IntegrationClient& a, IntegrationClient& b, const std::string& channel,
                       const std::string& nickB, const std::string& serverA = std::string())
    {
        a.Login(TestServer::UniqueName("ann"), channel, serverA);
        ASSERT_TRUE(a.WaitJoined(channel)) << a.Nickname() << " was not named in " << channel;
        b.Login(nickB, channel);
        ASSERT_TRUE(b.WaitJoined(channel)) << b.Nickname() << " was not named in " << channel;
        ASSERT_TRUE(a.WaitText(CHAT_EVENT_MEMBER, channel + " " + b.Nickname()))
            << a.Nickname() << " did not see " << b.Nickname() << " join";
        ASSERT_TRUE(b.WaitTextAny(CHAT_EVENT_MEMBER,
                                  {channel + " " + a.Nickname(), channel + " @" + a.Nickname()}))
            << b.Nickname() << " was not told that " << a.Nickname() << " is in the channel";
    }

    static ChatLibrary* library_;
    static bool loaded_;
    static std::string loadError_;
};

ChatLibrary* RealServer::library_ = nullptr;
bool RealServer::loaded_ = false;
std::string RealServer::loadError_;

TEST_F(RealServer, MembersSeeEachOtherAndTalkBothWays)
{
    auto a = NewClient();
    auto b = NewClient();
    std::string ch = "#" + TestServer::UniqueName("talk");
    MeetInChannel(*a, *b, ch, TestServer::UniqueName("ben"));

    // Colons and channel-like words inside the text belong to the message.
    const std::string hello = "hello: meet me in #elsewhere at 10:30";
    EXPECT_EQ(1, a->Chat().SendChannelMessage(ch.c_str(), hello.c_str()));
    EXPECT_TRUE(b->WaitText(CHAT_EVENT_MESSAGE, ch + " " + a->Nickname() + " " + hello));

    const std::string reply = "fine, see you there";
    EXPECT_EQ(1, b->Chat().SendMessage(ch.c_str(), reply.c_str()));
    EXPECT_TRUE(a->WaitText(CHAT_EVENT_MESSAGE, ch + " " + b->Nickname() + " " + reply));

    EXPECT_TRUE(a->Errors().empty()) << a->Errors().front();
    EXPECT_TRUE(b->Errors().empty()) << b->Errors().front();
}

TEST_F(RealServer, MessageOfTheDayReachesTheHost)
{
    auto a = NewClient();
    std::string ch = "#" + TestServer::UniqueName("motd");
    a->Login(TestServer::UniqueName("ann"), ch);
    ASSERT_TRUE(a->WaitJoined(ch));
    // One server writes the text behind a ":-" word, the other without it;
    // either way the words reach the host.
    EXPECT_TRUE(a->Sink().WaitFor(
        [](const EventRecord& r) {
            return r.kind == EventRecord::Text && r.code == CHAT_EVENT_MOTD &&
                   r.text.find("Hello from the test server") != std::string::npos;
        },
        IntegrationClient::kWaitMs));
}

TEST_F(RealServer, AttributesAreAnnouncedOnJoinAndUpdated)
{
    auto a = NewClient();
    auto b = NewClient();
    std::string ch = "#" + TestServer::UniqueName("attr");
    b->Chat().SendAttributeUpdate("mood", "calm");
    MeetInChannel(*a, *b, ch, TestServer::UniqueName("ben"));

    EXPECT_TRUE(a->WaitText(CHAT_EVENT_ATTRIBUTE, ch + " " + b->Nickname() + " mood calm"))
        << "the attribute set before the join was not announced to the channel";

    // A value with colons (a time, an address) arrives whole.
    a->Chat().SendAttributeUpdate("seen", "12:30:45");
    EXPECT_TRUE(b->WaitText(CHAT_EVENT_ATTRIBUTE, ch + " " + a->Nickname() + " seen 12:30:45"));
    a->Chat().SendAttributeUpdate("home", "http://a.test:8080/x");
    EXPECT_TRUE(
        b->WaitText(CHAT_EVENT_ATTRIBUTE, ch + " " + a->Nickname() + " home http://a.test:8080/x"));
}

TEST_F(RealServer, AttributeRequestOfANewMemberIsAnswered)
{
    auto a = NewClient();
    auto b = NewClient();
    std::string ch = "#" + TestServer::UniqueName("ask");
    a->Chat().SendAttributeUpdate("colour", "green");
    MeetInChannel(*a, *b, ch, TestServer::UniqueName("ben"));

    // b's join asks the channel for its members' attributes; a answers.
    EXPECT_TRUE(b->WaitText(CHAT_EVENT_ATTRIBUTE, ch + " " + a->Nickname() + " colour green"))
        << "the answer to the attribute request did not reach the new member";
}

TEST_F(RealServer, NamesAndTheChannelList)
{
    auto a = NewClient();
    auto b = NewClient();
    std::string ch = "#" + TestServer::UniqueName("names");
    MeetInChannel(*a, *b, ch, TestServer::UniqueName("ben"));

    size_t from = a->Sink().Count();
    a->Chat().RequestNames(ch.c_str());
    EXPECT_TRUE(a->WaitText(CHAT_EVENT_NAMES, ch, IntegrationClient::kWaitMs, from));
    EXPECT_TRUE(a->WaitText(CHAT_EVENT_MEMBER, ch + " " + b->Nickname(), IntegrationClient::kWaitMs,
                            from));
    EXPECT_TRUE(a->WaitTextAny(CHAT_EVENT_MEMBER,
                               {ch + " " + a->Nickname(), ch + " @" + a->Nickname()},
                               IntegrationClient::kWaitMs, from));

    from = b->Sink().Count();
    b->Chat().ListChannels();
    EXPECT_TRUE(b->Sink().WaitFor(
        [](const EventRecord& r) {
            return r.kind == EventRecord::Text && r.code == CHAT_EVENT_LIST_START && !r.hasText;
        },
        IntegrationClient::kWaitMs, from));
    EXPECT_TRUE(b->WaitText(CHAT_EVENT_LIST_ENTRY, ch, IntegrationClient::kWaitMs, from));
    EXPECT_TRUE(b->WaitEvent(CHAT_EVENT_LIST_END, IntegrationClient::kWaitMs, from));
}

TEST_F(RealServer, NicknameChangeIsReportedOncePerSharedChannel)
{
    auto a = NewClient();
    auto b = NewClient();
    std::string ch = "#" + TestServer::UniqueName("nick");
    MeetInChannel(*a, *b, ch, TestServer::UniqueName("ben"));

    // Each names reply names b again; b must still count as one member.
    for (int i = 0; i < 2; ++i)
    {
        size_t from = a->Sink().Count();
        a->Chat().RequestNames(ch.c_str());
        ASSERT_TRUE(a->WaitText(CHAT_EVENT_MEMBER, ch + " " + b->Nickname(),
                                IntegrationClient::kWaitMs, from));
    }

    std::string oldNick = b->Nickname();
    std::string newNick = TestServer::UniqueName("bert");
    b->Chat().SetNickname(newNick.c_str());
    EXPECT_TRUE(a->WaitText(CHAT_EVENT_NICK, oldNick + " " + newNick + " " + ch));

    // The server passes lines on in order: once this message is in, every
    // event of the nickname change has been delivered.
    b->Chat().SendChannelMessage(ch.c_str(), "new name, same person");
    ASSERT_TRUE(a->WaitText(CHAT_EVENT_MESSAGE, ch + " " + newNick + " new name, same person"));
    EXPECT_EQ(1u, a->CountText(CHAT_EVENT_NICK, oldNick + " " + newNick + " " + ch));
}

TEST_F(RealServer, PartOfAnotherMemberIsReported)
{
    auto a = NewClient();
    auto b = NewClient();
    std::string ch = "#" + TestServer::UniqueName("part");
    MeetInChannel(*a, *b, ch, TestServer::UniqueName("ben"));

    b->Chat().LeaveChannel(ch.c_str());
    EXPECT_TRUE(a->WaitText(CHAT_EVENT_PART, ch + " " + b->Nickname()));
}

TEST_F(RealServer, CommandWordsInsideNamesAndTextsDoNotMisroute)
{
    auto a = NewClient();
    auto b = NewClient();
    // A nickname that begins with a command word rides on every line the
    // server sends to it, the welcome included; so does a channel name.
    std::string ch = "#JOINPART" + TestServer::UniqueName("x");
    MeetInChannel(*a, *b, ch, TestServer::UniqueName("NICK"));

    size_t from = a->Sink().Count();
    b->Chat().SendNotice(ch.c_str(), "ZYMATTRIBUPDATE PRIVMSG NOTICE", nullptr);
    EXPECT_TRUE(a->WaitText(CHAT_EVENT_ATTRIBUTE, ch + " " + b->Nickname() + " PRIVMSG NOTICE",
                            IntegrationClient::kWaitMs, from));
    b->Chat().SendChannelMessage(ch.c_str(), "after the notice");
    ASSERT_TRUE(a->WaitText(CHAT_EVENT_MESSAGE, ch + " " + b->Nickname() + " after the notice",
                            IntegrationClient::kWaitMs, from));
    EXPECT_EQ(1u, a->Sink().CountMatching(
                      [](const EventRecord& r) {
                          return r.kind == EventRecord::Text && r.code == CHAT_EVENT_MESSAGE;
                      },
                      from))
        << "the notice was taken for a message";

    b->Chat().LeaveChannel(ch.c_str());
    EXPECT_TRUE(a->WaitText(CHAT_EVENT_PART, ch + " " + b->Nickname()));
}

TEST_F(RealServer, NicknameInUseIsReported)
{
    auto a = NewClient();
    auto b = NewClient();
    std::string ch = "#" + TestServer::UniqueName("taken");
    MeetInChannel(*a, *b, ch, TestServer::UniqueName("ben"));

    // At login: the server refuses the nickname.
    auto c = NewClient();
    c->Login(a->Nickname(), "");
    EXPECT_TRUE(c->WaitError(433, "433-Nickname in use"));

    // After the welcome: a change to a nickname in use.
    size_t from = b->Sink().Count();
    b->Chat().SetNickname(a->Nickname().c_str());
    EXPECT_TRUE(b->WaitError(433, "433-Nickname in use", IntegrationClient::kWaitMs, from));
}

TEST_F(RealServer, StaysConnectedAcrossServerPings)
{
    // The first client talks to the server through a relay that sees the
    // PINGs and PONGs.
    ServerRelay relay(TestServer::Address(), "127.0.3.60");
    ASSERT_TRUE(relay.IsListening());
    auto a = NewClient();
    auto b = NewClient();
    std::string ch = "#" + TestServer::UniqueName("ping");
    MeetInChannel(*a, *b, ch, TestServer::UniqueName("ben"), relay.Address());

    // The test servers ping a client after 5 idle seconds and drop it when
    // the answer is missing or wrong; a server pings again only after an
    // answer it accepted. Three answers take about 15 s.
    EXPECT_TRUE(relay.WaitForPongs(3, 40000)) << "three PINGs were not answered with their tokens";

    EXPECT_EQ(1, a->Chat().SendChannelMessage(ch.c_str(), "still here?"));
    EXPECT_TRUE(b->WaitText(CHAT_EVENT_MESSAGE, ch + " " + a->Nickname() + " still here?"));
    EXPECT_EQ(1, b->Chat().SendChannelMessage(ch.c_str(), "still here."));
    EXPECT_TRUE(a->WaitText(CHAT_EVENT_MESSAGE, ch + " " + b->Nickname() + " still here."));
    EXPECT_TRUE(a->Errors().empty()) << a->Errors().front();
    EXPECT_TRUE(b->Errors().empty()) << b->Errors().front();
}
}
