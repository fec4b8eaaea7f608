#include <gtest/gtest.h>

#include "EventRecorder.h"
#include "FakeIrcServer.h"
#include "TestChat.h"

// The native build has no TLS: a secure server text fails as a malformed one
// does, and nothing reaches the server in the clear. Addresses: 127.0.5.1.

namespace
{
    const int kWait = 3000;
}

TEST(NativeServerForms, ASecureTextFailsLikeAMalformedOneAndNeverConnects)
{
    FakeIrcServer server("127.0.5.1", 6697);
    ASSERT_TRUE(server.IsListening());
    EventRecorder sink;
    TestChat chat;
    chat.SetEventSink(&sink);
    chat.SetNickname("alice");

    EXPECT_EQ(1, chat.ConnectToServer("ircs://127.0.5.1"));
    ASSERT_TRUE(sink.WaitForError(-1001, kWait));
    ASSERT_TRUE(chat.ThreadEnded(kWait));
    EXPECT_FALSE(server.WaitForClient(300));

    // The plain form of the same server still works afterwards.
    FakeIrcServer plain("127.0.5.1");
    ASSERT_TRUE(plain.IsListening());
    EXPECT_EQ(1, chat.ConnectToServer("127.0.5.1"));
    EXPECT_TRUE(plain.WaitForReceived("NICK alice\r\nUSER ", kWait));
}
