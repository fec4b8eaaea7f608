#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "EventRecorder.h"
#include "FakeIrcServer.h"
#include "SocketResults.h"
#include "TCPSocket.h"
#include "TestChat.h"

// Quitting, a refused login nickname, and closing the socket from either
// thread.
//
// Addresses of this file's servers: 127.0.8.50 to 127.0.8.69. Nothing
// listens on 127.0.8.251.

namespace
{
    const int kWait = 5000;

    double SecondsSince(std::chrono::steady_clock::time_point start)
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
}

TEST(ZymChatQuit, WithoutAConnectionNothingIsQueuedForTheNextLogin)
{
    FakeIrcServer server("127.0.8.50");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    TestChat chat;
    chat.SetEventSink(&sink);
    chat.SetNickname("alice");

    // Never connected, then after a connect that failed.
    chat.Quit();
    ASSERT_EQ(1, chat.ConnectToServer("127.0.8.251"));
    ASSERT_TRUE(sink.WaitForError(-1001, kWait));
    ASSERT_TRUE(chat.ThreadEnded(kWait));
    chat.Quit();

    ASSERT_EQ(1, chat.ConnectToServer("127.0.8.50"));
    ASSERT_TRUE(server.WaitForLines(2, kWait));
    Sleep(300);
    EXPECT_EQ("NICK alice\r\nUSER ... 0 *  :...\r\n", server.Received());
}

TEST(ZymChatQuit, QuitFromASinkCallSendsQuitAndEndsTheConnectionWithoutWaiting)
{
    FakeIrcServer server("127.0.8.51");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    std::unique_ptr<TestChat> chat(new TestChat());
    double quitSeconds = -1;
    sink.onText = [&](int nCode, const char*) {
        if (nCode != CHAT_EVENT_MESSAGE)
            return;
        auto start = std::chrono::steady_clock::now();
        chat->Quit();
        quitSeconds = SecondsSince(start);
    };
    chat->SetEventSink(&sink);
    chat->SetNickname("alice");
    chat->JoinChannel("#home", 0);
    ASSERT_EQ(1, chat->ConnectToServer("127.0.8.51"));
    ASSERT_TRUE(server.WaitForLines(2, kWait));
    server.SendLine(":irc.test 002 alice :Your host");
    ASSERT_TRUE(server.WaitForReceived("JOIN #home\r\n", kWait));
    server.SendLine(":alice!a@h JOIN :#home");
    server.SendLine(":bob!b@h PRIVMSG #home :please go");

    EXPECT_TRUE(server.WaitForReceived("\r\nQUIT\r\n", kWait));
    EXPECT_TRUE(server.WaitForClientClosed(kWait));
    EXPECT_TRUE(chat->ThreadEnded(kWait));
    EXPECT_GE(quitSeconds, 0.0);
    EXPECT_LT(quitSeconds, 0.5);
    EXPECT_TRUE(sink.Errors().empty());
}

TEST(ZymChatNickname, ANicknameRefusedAtLoginCanBeReplacedBeforeTheWelcome)
{
    FakeIrcServer server("127.0.8.52");
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    std::unique_ptr<TestChat> chat(new TestChat());
    chat->SetEventSink(&sink);
    chat->SetNickname("alice");
    ASSERT_EQ(1, chat->ConnectToServer("127.0.8.52"));
    ASSERT_TRUE(server.WaitForLines(2, kWait));
    server.SendLine(":irc.test 433 * alice :Nickname is already in use");
    ASSERT_TRUE(sink.WaitForError(433, kWait));

    chat->SetNickname("alice2");
    ASSERT_TRUE(server.WaitForReceived("NICK alice2\r\n", kWait));
    server.SendLine(":irc.test 001 alice2 :Welcome");
    server.SendLine(":irc.test 002 alice2 :Your host");
    chat->JoinChannel("#home", 0);
    ASSERT_TRUE(server.WaitForReceived("JOIN #home\r\n", kWait));
    server.SendLine(":alice2!a@h JOIN :#home");
    ASSERT_TRUE(server.WaitForReceived("NOTICE #home :ZYMATTRIBREQUEST\r\n", kWait));
    EXPECT_EQ(1, chat->SendChannelMessage("#home", "made it"));
    EXPECT_TRUE(server.WaitForReceived("PRIVMSG #home :made it\r\n", kWait));
}

TEST(TCPSocketClosing, ADisconnectFromAnotherThreadEndsAWaitingReceiveQuietly)
{
    FakeIrcServer server("127.0.8.53");
    ASSERT_TRUE(server.IsListening());
    TCPSocket socket;
    SocketAddress address;
    address.SetAddress("127.0.8.53");
    ASSERT_EQ(ZymSocketOk, socket.Connect(address, 6667));
    ASSERT_TRUE(server.WaitForClient(kWait));

    int nResult = -1;
    std::thread reader([&] {
        char buffer[128];
        int nLength = sizeof(buffer);
        nResult = socket.Receive(buffer, &nLength);
    });
    Sleep(300);
    EXPECT_EQ(ZymSocketOk, socket.Disconnect());
    reader.join();
    // The end this side asked for, not a failure to report.
    EXPECT_EQ(ZymConnectionAborted, nResult);
    EXPECT_EQ(0, socket.GetConnectionState());
    EXPECT_EQ(ZymSocketOk, socket.Disconnect());
}

TEST(ZymChatDestruction, ADestructionDuringTheConnectReportsNothing)
{
    // A listener whose backlog is full takes no further connection: the
    // component's connect waits until destruction cuts it short.
    WSADATA data;
    ASSERT_EQ(0, WSAStartup(0x0101, &data));
    SOCKET hListen = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(6667);
    local.sin_addr.s_addr = inet_addr("127.0.8.55");
    ASSERT_EQ(0, bind(hListen, reinterpret_cast<sockaddr*>(&local), sizeof(local)));
    ASSERT_EQ(0, listen(hListen, 0));
    SOCKET fillers[4];
    for (SOCKET& hFiller : fillers)
    {
        hFiller = socket(AF_INET, SOCK_STREAM, 0);
        u_long nNonBlocking = 1;
        ioctlsocket(hFiller, FIONBIO, &nNonBlocking);
        connect(hFiller, reinterpret_cast<sockaddr*>(&local), sizeof(local));
    }
    Sleep(200);

    EventRecorder sink;
    {
        TestChat chat;
        chat.SetEventSink(&sink);
        ASSERT_EQ(1, chat.ConnectToServer("127.0.8.55"));
        Sleep(500);
        // Still connecting; a failure to connect would have been reported.
        ASSERT_TRUE(sink.Errors().empty()) << "the connect did not wait";
    }
    Sleep(200);
    EXPECT_TRUE(sink.Events().empty());

    for (SOCKET hFiller : fillers)
        closesocket(hFiller);
    closesocket(hListen);
    WSACleanup();
}
