// A host's view of the library: loaded by name, driven only through its two
// exports and the interfaces. The interface headers come before <windows.h>
// here and after it in WindowsFirstHost.cpp.
#include "ChatComponent.h"
#include "ChatEventSink.h"

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
