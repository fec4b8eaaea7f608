// A host's view of the library: loaded by name, driven only through its two
// exports and the interfaces. The interface headers come before <windows.h>
// here and after it in WindowsFirstHost.cpp.
#include "ChatComponent.h"
#include "ChatEventSink.h"
#include "ExtendedChatComponent.h"
#include "ExtendedChatEventSink.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "EventRecorder.h"
#include "FakeIrcServer.h"
#include "WindowsFirstHost.h"

// Addresses of this file's servers: 127.0.1.40 to 127.0.1.49. Nothing
// listens on 127.0.1.252.

namespace
{
    const int kWait = 3000;

    class ChatLibrary : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            m_hLibrary = LoadLibraryA("ZymChat.dll");
            ASSERT_NE(nullptr, m_hLibrary);
            m_pCreate = reinterpret_cast<ZymCreateComponentProc>(
                reinterpret_cast<void*>(GetProcAddress(m_hLibrary, "CreateComponent")));
            m_pCanUnload = reinterpret_cast<ZymLibraryCanUnloadProc>(
                reinterpret_cast<void*>(GetProcAddress(m_hLibrary, "LibraryCanUnload")));
            ASSERT_NE(nullptr, m_pCreate);
            ASSERT_NE(nullptr, m_pCanUnload);
        }

        void TearDown() override
        {
            if (m_hLibrary != nullptr)
                FreeLibrary(m_hLibrary);
        }

        HMODULE m_hLibrary = nullptr;
        ZymCreateComponentProc m_pCreate = nullptr;
        ZymLibraryCanUnloadProc m_pCanUnload = nullptr;
    };
}

TEST_F(ChatLibrary, OnlyTheExactComponentNameCreatesAnObject)
{
    EXPECT_EQ(1, m_pCanUnload());
    EXPECT_EQ(nullptr, m_pCreate("zymchatcomponent"));
    EXPECT_EQ(nullptr, m_pCreate("ZYMCHATCOMPONENT"));
    EXPECT_EQ(nullptr, m_pCreate(""));
    EXPECT_EQ(nullptr, m_pCreate("ZymChatComponent "));
    EXPECT_EQ(1, m_pCanUnload());

    ChatComponent* pChat = m_pCreate("ZymChatComponent");
    ASSERT_NE(nullptr, pChat);
    EXPECT_EQ(0, m_pCanUnload());
    EXPECT_EQ(0, pChat->Release());
    EXPECT_EQ(1, m_pCanUnload());
}

TEST_F(ChatLibrary, GetInterfaceHandsOutTheSamePointerForTypesOneAndTwoOnly)
{
    ChatComponent* pChat = m_pCreate("ZymChatComponent");
    ASSERT_NE(nullptr, pChat);
    EXPECT_EQ(nullptr, pChat->GetInterface("ChatComponent", 3));
    EXPECT_EQ(nullptr, pChat->GetInterface("ChatComponent", 0));
    EXPECT_EQ(nullptr, pChat->GetInterface("chatcomponent", 1));
    EXPECT_EQ(nullptr, pChat->GetInterface("ZymChatComponent", 1));
    EXPECT_EQ(static_cast<void*>(pChat), pChat->GetInterface("ChatComponent", 1));
    EXPECT_EQ(static_cast<void*>(pChat), pChat->GetInterface("ChatComponent", 2));

    // One reference from CreateComponent and two from GetInterface; the
    // refused calls added none.
    EXPECT_EQ(2, pChat->Release());
    EXPECT_EQ(0, m_pCanUnload());
    EXPECT_EQ(1, pChat->Release());
    EXPECT_EQ(0, m_pCanUnload());
    EXPECT_EQ(0, pChat->Release());
    EXPECT_EQ(1, m_pCanUnload());
}

TEST_F(ChatLibrary, TwoObjectsKeepTheLibraryLoadedUntilBothAreReleased)
{
    ChatComponent* pFirst = m_pCreate("ZymChatComponent");
    ChatComponent* pSecond = m_pCreate("ZymChatComponent");
    ASSERT_NE(nullptr, pFirst);
    ASSERT_NE(nullptr, pSecond);
    EXPECT_NE(pFirst, pSecond);
    EXPECT_EQ(2, pFirst->AddRef());
    EXPECT_EQ(1, pFirst->Release());
    pFirst->Release();
    EXPECT_EQ(0, m_pCanUnload());
    pSecond->Release();
    EXPECT_EQ(1, m_pCanUnload());
}

TEST_F(ChatLibrary, ConnectBehavesAsConnectToServer)
{
    EventRecorder sink;
    ChatComponent* pChat = m_pCreate("ZymChatComponent");
    ASSERT_NE(nullptr, pChat);
    pChat->SetEventSink(&sink);
    EXPECT_EQ(1, pChat->Connect("127.0.1.252"));
    EXPECT_TRUE(sink.WaitFor(RecordedEvent::Error, -1001, kWait));
    pChat->Release();
    auto events = sink.Events();
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ("-1001 connection error occured", events[0].text);
}

TEST_F(ChatLibrary, SendMessageJoinAndEnterChannelForwardToTheChatOperations)
{
    FakeIrcServer server("127.0.1.40");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    ChatComponent* pChat = m_pCreate("ZymChatComponent");
    ASSERT_NE(nullptr, pChat);
    pChat->SetEventSink(&sink);
    pChat->SetNickname("carol");

    EXPECT_EQ(-1, pChat->SendMessage("#nowhere", "hello"));
    EXPECT_EQ(-1, SendMessageWithWindowsFirst(pChat, "#nowhere", "hello"));
    EXPECT_EQ(pChat->SendChannelMessage("#nowhere", "hello"), pChat->SendMessage("#nowhere", "x"));

    pChat->ConnectToServer(server.Address().c_str());
    ASSERT_TRUE(server.WaitForLines(3, kWait));
    // Joins asked for before the welcome go out with it, in order.
    pChat->Join("#one");
    pChat->EnterChannel("#two");
    server.SendLine(":irc.test 002 carol :Your host is irc.test");
    EXPECT_TRUE(server.WaitForReceived("JOIN #one\r\nJOIN #two\r\n", kWait));
    server.SendLine(":carol!c@127.0.0.1 JOIN :#one");
    // The confirmed join asks the channel for its members' attributes.
    ASSERT_TRUE(server.WaitForReceived("NOTICE #one :ZYMATTRIBREQUEST\r\n", kWait));
    EXPECT_EQ(1, SendMessageWithWindowsFirst(pChat, "#one", "hi there"));
    EXPECT_TRUE(server.WaitForReceived("PRIVMSG #one :hi there\r\n", kWait));
    pChat->Release();
    EXPECT_EQ(1, m_pCanUnload());
}

TEST_F(ChatLibrary, TheExtendedObjectNegotiatesLogsInWithSaslAndReportsDetails)
{
    FakeIrcServer server("127.0.1.41");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    auto* pChat = static_cast<ExtendedChatComponent*>(m_pCreate(ZYM_EXTENDED_CHAT_COMPONENT_NAME));
    ASSERT_NE(nullptr, pChat);
    EXPECT_EQ(static_cast<void*>(pChat), pChat->GetInterface("ExtendedChatComponent", 1));
    pChat->Release();
    pChat->SetExtendedEventSink(&sink);
    pChat->SetNickname("dora");
    // A plain connection: the host allows the password over it.
    EXPECT_EQ(1, pChat->SetSaslLogin("PLAIN", "dora", "secret",
                                     SASL_LOGIN_REQUIRED | SASL_LOGIN_ALLOW_PLAINTEXT));

    pChat->ConnectToServer(server.Address().c_str());
    ASSERT_TRUE(server.WaitForReceived("CAP LS 302\r\nNICK dora\r\nUSER ", kWait));
    server.SendLine(":irc.test CAP * LS * :sasl=PLAIN,EXTERNAL server-time");
    server.SendLine(":irc.test CAP * LS :away-notify");
    ASSERT_TRUE(server.WaitForReceived("CAP REQ :server-time away-notify sasl\r\n", kWait));
    server.SendLine(":irc.test CAP dora ACK :server-time away-notify sasl");
    ASSERT_TRUE(server.WaitForReceived("AUTHENTICATE PLAIN\r\n", kWait));
    server.SendLine("AUTHENTICATE +");
    // "dora\0dora\0secret"
    ASSERT_TRUE(server.WaitForReceived("AUTHENTICATE ZG9yYQBkb3JhAHNlY3JldA==\r\n", kWait));
    server.SendLine(":irc.test 900 dora dora!d@h dora :You are now logged in as dora");
    server.SendLine(":irc.test 903 dora :SASL authentication successful");
    ASSERT_TRUE(server.WaitForReceived("CAP END\r\n", kWait));
    server.SendLine(":irc.test 001 dora :Welcome");
    server.SendLine("@time=2026-12-08T20:00:00.000Z;msgid=q1 :erin!e@h QUIT :bye");
    ASSERT_TRUE(sink.WaitFor(RecordedEvent::Detail, CHAT_EVENT_QUIT, kWait));

    std::vector<RecordedEvent> quits = sink.Details(CHAT_EVENT_QUIT);
    ASSERT_EQ(1u, quits.size());
    EXPECT_EQ("[] [erin] [] [bye] [] [q1]", quits[0].text);
    EXPECT_EQ("2026-12-08T20:00:00.000Z", quits[0].time);
    EXPECT_EQ(static_cast<int>(sizeof(ChatEventDetails)), quits[0].nValue);
    std::vector<RecordedEvent> logins = sink.Details(CHAT_EVENT_LOGGED_IN);
    ASSERT_EQ(1u, logins.size());
    EXPECT_EQ("[] [dora] [] [You are now logged in as dora] [dora] []", logins[0].text);

    // A message's tags come just before the message itself.
    pChat->Join("#one");
    server.SendLine(":irc.test 002 dora :Your host is irc.test");
    ASSERT_TRUE(server.WaitForReceived("JOIN #one\r\n", kWait));
    server.SendLine(":dora!d@h JOIN :#one");
    server.SendLine("@time=2026-12-08T20:00:01.000Z;msgid=p1;account=erin :erin!e@h PRIVMSG #one :hi");
    ASSERT_TRUE(sink.WaitForText(CHAT_EVENT_MESSAGE, "#one erin hi", kWait));
    std::vector<RecordedEvent> events = sink.Events();
    ASSERT_GE(events.size(), 2u);
    const RecordedEvent& tags = events[events.size() - 2];
    EXPECT_EQ(RecordedEvent::Detail, tags.kind);
    EXPECT_EQ(CHAT_EVENT_MESSAGE_DETAILS, tags.nCode);
    EXPECT_EQ("[#one] [erin] [] [hi] [erin] [p1]", tags.text);
    EXPECT_EQ("2026-12-08T20:00:01.000Z", tags.time);
    EXPECT_TRUE(sink.Errors().empty());
    EXPECT_EQ(std::string::npos, server.Received().find("QUIT"));
    pChat->Release();
    EXPECT_EQ(1, m_pCanUnload());
}

TEST_F(ChatLibrary, ARequiredLoginTheServerRefusesEndsTheConnectionWithItsNumeric)
{
    FakeIrcServer server("127.0.1.42");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    auto* pChat = static_cast<ExtendedChatComponent*>(m_pCreate(ZYM_EXTENDED_CHAT_COMPONENT_NAME));
    ASSERT_NE(nullptr, pChat);
    pChat->SetExtendedEventSink(&sink);
    pChat->SetNickname("dora");
    EXPECT_EQ(1, pChat->SetSaslLogin("PLAIN", "dora", "wrong",
                                     SASL_LOGIN_REQUIRED | SASL_LOGIN_ALLOW_PLAINTEXT));
    pChat->ConnectToServer(server.Address().c_str());
    ASSERT_TRUE(server.WaitForLines(3, kWait));
    server.SendLine(":irc.test CAP * LS :sasl");
    ASSERT_TRUE(server.WaitForReceived("CAP REQ :sasl\r\n", kWait));
    server.SendLine(":irc.test CAP * ACK :sasl");
    ASSERT_TRUE(server.WaitForReceived("AUTHENTICATE PLAIN\r\n", kWait));
    server.SendLine("AUTHENTICATE +");
    ASSERT_TRUE(server.WaitForReceived("AUTHENTICATE ", kWait));
    server.SendLine(":irc.test 904 dora :SASL authentication failed");

    // No welcome without the account: QUIT instead of CAP END.
    EXPECT_TRUE(server.WaitForClientClosed(kWait));
    EXPECT_NE(std::string::npos, server.Received().find("\r\nQUIT\r\n"));
    EXPECT_EQ(std::string::npos, server.Received().find("CAP END"));
    std::vector<RecordedEvent> errors = sink.Errors();
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(904, errors[0].nCode);
    EXPECT_EQ("904 SASL authentication failed", errors[0].text);
    pChat->Release();
}

TEST_F(ChatLibrary, TodaysObjectListsCapabilitiesAndEndsWithoutRequestingAny)
{
    FakeIrcServer server("127.0.1.43");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    ChatComponent* pChat = m_pCreate("ZymChatComponent");
    ASSERT_NE(nullptr, pChat);
    EXPECT_EQ(nullptr, pChat->GetInterface("ExtendedChatComponent", 1));
    pChat->SetEventSink(&sink);
    pChat->SetNickname("carol");
    pChat->ConnectToServer(server.Address().c_str());
    ASSERT_TRUE(server.WaitForLines(3, kWait));
    server.SendLine(":irc.test CAP * LS :multi-prefix server-time sasl");
    ASSERT_TRUE(server.WaitForReceived("CAP END\r\n", kWait));
    server.SendLine(":irc.test 001 carol :Welcome");
    server.SendLine(":erin!e@h QUIT :bye");
    server.SendLine("PING :after");
    ASSERT_TRUE(server.WaitForReceived("PONG :after\r\n", kWait));
    EXPECT_EQ(std::string::npos, server.Received().find("CAP REQ"));
    EXPECT_EQ(0u, sink.Count()) << "today's host hears nothing of CAP or QUIT";
    pChat->Release();
}
