#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "EventRecorder.h"
#include "FakeIrcServer.h"
#include "TestChat.h"

// Every operation of the interface given texts with line breaks or longer
// than a line: the server must see exactly nothing of them.
//
// Addresses of this file's servers: 127.0.8.40 to 127.0.8.49.

namespace
{
    const int kWait = 5000;

    struct Operation
    {
        const char* pszName;
        std::function<void(ChatComponent&, const char*)> call;
    };

    const Operation kOperations[] = {
        {"SendMessage", [](ChatComponent& c, const char* t) { c.SendMessage("#home", t); }},
        {"SendChannelMessage",
         [](ChatComponent& c, const char* t) { c.SendChannelMessage("#home", t); }},
        {"SendChannelMessage channel",
         [](ChatComponent& c, const char* t) { c.SendChannelMessage(t, "hi"); }},
        {"SendPrivateMessage",
         [](ChatComponent& c, const char* t) { c.SendPrivateMessage("#home", t, nullptr); }},
        {"SendPrivateMessage nickname",
         [](ChatComponent& c, const char* t) { c.SendPrivateMessage("#home", "hi", t); }},
        {"SendPrivateMessage to nickname",
         [](ChatComponent& c, const char* t) { c.SendPrivateMessage(nullptr, t, "bob"); }},
        {"RequestNames", [](ChatComponent& c, const char* t) { c.RequestNames(t); }},
        {"LeaveChannel", [](ChatComponent& c, const char* t) { c.LeaveChannel(t); }},
        {"Join", [](ChatComponent& c, const char* t) { c.Join(t); }},
        {"EnterChannel", [](ChatComponent& c, const char* t) { c.EnterChannel(t); }},
        {"JoinChannel", [](ChatComponent& c, const char* t) { c.JoinChannel(t, 3); }},
        {"SetNickname", [](ChatComponent& c, const char* t) { c.SetNickname(t); }},
        {"SetHostText", [](ChatComponent& c, const char* t) { c.SetHostText(t); }},
        {"SetRealName", [](ChatComponent& c, const char* t) { c.SetRealName(t); }},
        {"SetUserName", [](ChatComponent& c, const char* t) { c.SetUserName(t); }},
        {"SendNotice", [](ChatComponent& c, const char* t) { c.SendNotice("#home", t, nullptr); }},
        {"SendNotice target", [](ChatComponent& c, const char* t) { c.SendNotice(t, "hi", nullptr); }},
        {"SendNotice extra", [](ChatComponent& c, const char* t) { c.SendNotice("#home", "hi", t); }},
        {"SendInvite channel", [](ChatComponent& c, const char* t) { c.SendInvite(t, "bob"); }},
        {"SendInvite nickname", [](ChatComponent& c, const char* t) { c.SendInvite("#home", t); }},
        {"SendAttributeUpdate key",
         [](ChatComponent& c, const char* t) { c.SendAttributeUpdate(t, "blue"); }},
        {"SendAttributeUpdate value",
         [](ChatComponent& c, const char* t) { c.SendAttributeUpdate("color", t); }},
        {"SetMode target", [](ChatComponent& c, const char* t) { c.SetMode(t, "+n", nullptr); }},
        {"SetMode mode", [](ChatComponent& c, const char* t) { c.SetMode("#home", t, nullptr); }},
        {"SetMode argument", [](ChatComponent& c, const char* t) { c.SetMode("#home", "+k", t); }},
    };

    const std::string kBadTexts[] = {
        "#home\r\nJOIN #evil",
        "#home\nJOIN #evil",
        "#home\rJOIN #evil",
        "#home" + std::string(600, 'x'),
    };

    // A component named alice, user al, "Alice A".
    std::unique_ptr<TestChat> NamedChat(EventRecorder& sink)
    {
        std::unique_ptr<TestChat> chat(new TestChat());
        chat->SetEventSink(&sink);
        chat->SetNickname("alice");
        chat->SetUserName("al");
        chat->SetRealName("Alice A");
        return chat;
    }
}

TEST(ZymChatHostText, NoOperationLetsALineBreakOrAnOverLongTextReachTheServer)
{
    FakeIrcServer server("127.0.8.40");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    std::unique_ptr<TestChat> chat = NamedChat(sink);
    chat->JoinChannel("#home", 0);
    ASSERT_EQ(1, chat->ConnectToServer(server.Address().c_str()));
    ASSERT_TRUE(server.WaitForLines(3, kWait));
    server.SendLine(":irc.test 001 alice :Welcome");
    server.SendLine(":irc.test 002 alice :Your host");
    ASSERT_TRUE(server.WaitForReceived("JOIN #home\r\n", kWait));
    server.SendLine(":alice!a@h JOIN :#home");
    ASSERT_TRUE(server.WaitForReceived("NOTICE #home :ZYMATTRIBREQUEST\r\n", kWait));

    int nMark = 0;
    for (const std::string& bad : kBadTexts)
    {
        for (const Operation& operation : kOperations)
        {
            SCOPED_TRACE(std::string(operation.pszName) + " with " + bad.substr(0, 20));
            size_t nBefore = server.Received().size();
            operation.call(*chat, bad.c_str());
            // A line that surely goes out marks the end of what the call
            // queued: nothing may come before it.
            std::string mark = "PRIVMSG #home :mark " + std::to_string(++nMark);
            ASSERT_EQ(1, chat->SendChannelMessage("#home", ("mark " + std::to_string(nMark)).c_str()));
            ASSERT_TRUE(server.WaitForReceived(mark + "\r\n", kWait));
            EXPECT_EQ(mark + "\r\n", server.Received().substr(nBefore));
        }
    }
    EXPECT_EQ(std::string::npos, server.Received().find("evil"));
    EXPECT_TRUE(sink.Errors().empty());

    // The refused names changed nothing: a nickname change and a login use
    // what was set before.
    chat->SetNickname("alice2");
    ASSERT_TRUE(server.WaitForReceived("NICK alice2\r\n", kWait));
}

TEST(ZymChatHostText, TheLoginCarriesTheNamesSetBeforeARefusedOne)
{
    FakeIrcServer server("127.0.8.41");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    std::unique_ptr<TestChat> chat = NamedChat(sink);
    for (const std::string& bad : kBadTexts)
    {
        chat->SetNickname(bad.c_str());
        chat->SetUserName(bad.substr(0, 30).c_str());
        chat->SetRealName(bad.substr(0, 30).c_str());
    }
    ASSERT_EQ(1, chat->ConnectToServer(server.Address().c_str()));
    ASSERT_TRUE(server.WaitForLines(3, kWait));
    // The over-long name was only cut to the login's field limit; the ones
    // with line breaks were refused.
    EXPECT_EQ("CAP LS 302\r\nNICK alice\r\nUSER #homexxxxxxxxxxxxxxxxxxxxxxxxx 0 *  :#homexxxxxxxxxxxxxxxxxxxxxxxxx\r\n",
              server.Received());
}
