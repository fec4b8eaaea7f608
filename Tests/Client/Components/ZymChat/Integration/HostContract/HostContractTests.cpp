// A host that knows the component only by its published binary contract (its
// own copy of the interface declarations) drives every operation of the
// interface against a real IRC server started by with-irc-server.sh.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "ChatComponent.h"
#include "ContractLibrary.h"
#include "ContractSink.h"

namespace
{
using contract::ChatComponent;
using contract::ContractSink;

std::string Server()
{
    const char* server = std::getenv("ZYM_IRC_SERVER");
    return server != nullptr ? server : "";
}

std::string T(int code, const std::string& text)
{
    return ContractSink::Text(code, text);
}

// Waits until the server has named nick as a member of channel; channel
// founders are named with "@".
bool Joined(const ContractSink& sink, const std::string& channel, const std::string& nick,
            size_t from = 0)
{
    return sink.WaitForEither(T(contract::MEMBER, channel + " " + nick),
                              T(contract::MEMBER, channel + " @" + nick), from);
}

TEST(HostContract, ExportsHandOutCountedComponents)
{
    contract::ContractLibrary library;
    ASSERT_TRUE(library.Loaded()) << "ZymChat.dll beside the test, with both exports";
    EXPECT_EQ(1, library.CanUnload());
    EXPECT_EQ(nullptr, library.Create("zymchatcomponent"));
    EXPECT_EQ(nullptr, library.Create(""));
    EXPECT_EQ(1, library.CanUnload());

    ChatComponent* chat = library.Create("ZymChatComponent");
    ASSERT_NE(nullptr, chat);
    EXPECT_EQ(0, library.CanUnload());
    EXPECT_EQ(static_cast<void*>(chat), chat->GetInterface("ChatComponent", 1));
    EXPECT_EQ(static_cast<void*>(chat), chat->GetInterface("ChatComponent", 2));
    EXPECT_EQ(nullptr, chat->GetInterface("ChatComponent", 3));
    EXPECT_EQ(nullptr, chat->GetInterface("chatcomponent", 1));
    chat->AddRef();
    // One reference from CreateComponent, two from GetInterface, one AddRef.
    for (int i = 0; i < 3; ++i)
    {
        chat->Release();
        EXPECT_EQ(0, library.CanUnload()) << "destroyed after " << i + 1 << " of 4 releases";
    }
    chat->Release();
    EXPECT_EQ(1, library.CanUnload());
}

TEST(HostContract, EveryOperationReachesTheServer)
{
    const std::string server = Server();
    ASSERT_FALSE(server.empty()) << "run through with-irc-server.sh";
    contract::ContractLibrary library;
    ASSERT_TRUE(library.Loaded());

    ContractSink xs, ys;
    ChatComponent* x = library.Create("ZymChatComponent");
    ChatComponent* y = library.Create("ZymChatComponent");
    ASSERT_NE(nullptr, x);
    ASSERT_NE(nullptr, y);
    const std::string ch1 = "#open1", ch2 = "#secret2", ch3 = "#moded3", ch4 = "#plain4";

    // Settings and the reserved slots before the connection.
    x->SetEventSink(&xs);
    x->SetOptionFlag(0);
    x->SetHostText("contract host");
    x->SetNickname("cx");
    x->SetUserName("cxuser");
    x->SetRealName("Contract X");
    x->Reserved1();
    x->Reserved2();
    x->Reserved3();
    x->Reserved4();
    x->Join(ch1.c_str());
    EXPECT_EQ(1, x->Connect(server.c_str()));
    // cx opens the channel first, so that it sees cy's join.
    ASSERT_TRUE(Joined(xs, ch1, "cx"));

    y->SetEventSink(&ys);
    y->SetNickname("cy");
    y->SetUserName("cyuser");
    y->SetRealName("Contract Y");
    y->EnterChannel(ch1.c_str());
    EXPECT_EQ(1, y->ConnectToServer(server.c_str()));

    ASSERT_TRUE(Joined(ys, ch1, "cy"));
    ASSERT_TRUE(xs.WaitFor(T(contract::MEMBER, ch1 + " cy")));
    // Welcomed: a new connection needs a new object.
    EXPECT_EQ(0, x->ConnectToServer(server.c_str()));

    // The three ways to a channel message.
    EXPECT_EQ(1, x->SendMessage(ch1.c_str(), "one"));
    EXPECT_TRUE(ys.WaitFor(T(contract::MESSAGE, ch1 + " cx one")));
    EXPECT_EQ(1, x->SendChannelMessage(ch1.c_str(), "two"));
    EXPECT_TRUE(ys.WaitFor(T(contract::MESSAGE, ch1 + " cx two")));
    x->SendPrivateMessage(ch1.c_str(), "three", nullptr);
    EXPECT_TRUE(ys.WaitFor(T(contract::MESSAGE, ch1 + " cx three")));
    EXPECT_EQ(-1, x->SendChannelMessage("#never", "lost"));

    // Notices and attributes.
    x->SendNotice(ch1.c_str(), "ZYMATTRIBUPDATE k1 v1", nullptr);
    EXPECT_TRUE(ys.WaitFor(T(contract::ATTRIBUTE, ch1 + " cx k1 v1")));
    x->SendAttributeUpdate("k2", "v2");
    EXPECT_TRUE(ys.WaitFor(T(contract::ATTRIBUTE, ch1 + " cx k2 v2")));

    // A secret join (kind 3) and an explicit mode both hide a channel from
    // the list of a non-member; a plain channel stays listed.
    x->JoinChannel(ch2.c_str(), 3);
    x->JoinChannel(ch3.c_str(), 0);
    x->SetMode(ch3.c_str(), "+s", nullptr);
    x->JoinChannel(ch4.c_str(), 0);
    ASSERT_TRUE(Joined(xs, ch2, "cx"));
    ASSERT_TRUE(Joined(xs, ch3, "cx"));
    ASSERT_TRUE(Joined(xs, ch4, "cx"));
    // cx's lines reach the server in queue order: the answer to a names
    // request queued after the mode changes shows they have been applied.
    size_t from = xs.Count();
    x->RequestNames(ch4.c_str());
    EXPECT_TRUE(xs.WaitFor(T(contract::NAMES, ch4), from));
    EXPECT_TRUE(Joined(xs, ch4, "cx", from));

    from = ys.Count();
    y->ListChannels();
    EXPECT_TRUE(ys.WaitFor(T(contract::LIST_START, "(null)"), from));
    EXPECT_TRUE(ys.WaitFor("event 11 0", from));
    EXPECT_TRUE(ys.Has(T(contract::LIST_ENTRY, ch1), from));
    EXPECT_TRUE(ys.Has(T(contract::LIST_ENTRY, ch4), from));
    EXPECT_FALSE(ys.Has(T(contract::LIST_ENTRY, ch2), from)) << "kind 3 did not make it secret";
    EXPECT_FALSE(ys.Has(T(contract::LIST_ENTRY, ch3), from)) << "SetMode +s did not arrive";

    x->SendInvite(ch4.c_str(), "cy");
    EXPECT_TRUE(ys.WaitFor(T(contract::INVITE, "cx " + ch4)));

    from = xs.Count();
    x->RequestNames(ch1.c_str());
    EXPECT_TRUE(xs.WaitFor(T(contract::NAMES, ch1), from));
    EXPECT_TRUE(xs.WaitFor(T(contract::MEMBER, ch1 + " cy"), from));

    x->SetNickname("cxnew");
    EXPECT_TRUE(ys.WaitFor(T(contract::NICK, "cx cxnew " + ch1)));
    x->LeaveChannel(ch1.c_str());
    EXPECT_TRUE(ys.WaitFor(T(contract::PART, ch1 + " cxnew")));

    // After QUIT the server frees the nickname: a third component gets it.
    x->Quit();
    ContractSink zs;
    ChatComponent* z = library.Create("ZymChatComponent");
    ASSERT_NE(nullptr, z);
    z->SetEventSink(&zs);
    z->SetNickname("cxnew");
    z->JoinChannel(ch1.c_str(), 0);
    z->ConnectToServer(server.c_str());
    EXPECT_TRUE(Joined(zs, ch1, "cxnew")) << "the nickname was still taken after Quit";
    EXPECT_FALSE(zs.Has("error 433 433-Nickname in use"));
    EXPECT_TRUE(ys.WaitFor(T(contract::MEMBER, ch1 + " cxnew")));

    z->Quit();
    y->Quit();
    x->Release();
    y->Release();
    EXPECT_EQ(0, library.CanUnload());
    z->Release();
    EXPECT_EQ(1, library.CanUnload());
    EXPECT_EQ(0, xs.ReservedCalls() + ys.ReservedCalls() + zs.ReservedCalls());
}
}
