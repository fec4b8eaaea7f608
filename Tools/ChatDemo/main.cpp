// Two chat components in one process meet in a channel of the server given
// on the command line and hold a short conversation: joins, messages both
// ways, an attribute exchange, a nickname change and a part. Exits 0 when
// every step was answered as expected.
#include <cstdio>
#include <string>

#include "ComponentInterfaces/ChatEventSink.h"
#include "ChatLibrary.h"
#include "ConsoleWriter.h"
#include "DemoParticipant.h"

namespace
{
const int kStepLimitMs = 15000;

struct DemoSettings
{
    std::string server;
    std::string channel = "#lobby";
    std::string library;
};

bool ParseSettings(int argc, char** argv, DemoSettings& settings)
{
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        if ((arg == "--channel" || arg == "--library") && i + 1 < argc)
        {
            (arg == "--channel" ? settings.channel : settings.library) = argv[++i];
        }
        else if (!arg.empty() && arg[0] != '-' && settings.server.empty())
        {
            settings.server = arg;
        }
        else
        {
            return false;
        }
    }
    return !settings.server.empty() && settings.channel.size() > 1 && settings.channel[0] == '#';
}

void Login(DemoParticipant& who, const char* nick, const char* fullName, const std::string& server,
           const std::string& channel)
{
    ChatComponent& chat = who.Chat();
    chat.SetNickname(nick);
    chat.SetUserName(nick);
    chat.SetRealName(fullName);
    // Asked before the welcome: the component joins once the server has
    // accepted the login.
    chat.JoinChannel(channel.c_str(), 0);
    chat.ConnectToServer(server.c_str());
}

bool Conversation(DemoParticipant& alice, DemoParticipant& bob, const std::string& server,
                  const std::string& ch, ConsoleWriter& out)
{
    const int t = kStepLimitMs;

    out.WriteLine("== alice logs in and joins " + ch + "; she tells the channel her colour");
    alice.Chat().SendAttributeUpdate("colour", "green");
    Login(alice, "alice", "Alice Example", server, ch);
    // The server names the channel's members on a join; alice, who opened
    // the channel, is its operator where the server makes founders operators.
    if (!alice.ExpectEither(CHAT_EVENT_MEMBER, ch + " @alice", ch + " alice", t))
    {
        return false;
    }

    out.WriteLine("== bob logs in and joins " + ch + " with his mood set");
    bob.Chat().SendAttributeUpdate("mood", "cheerful");
    Login(bob, "bob", "Bob Example", server, ch);
    if (!bob.Expect(CHAT_EVENT_MEMBER, ch + " bob", t) ||
        !alice.Expect(CHAT_EVENT_MEMBER, ch + " bob", t))
    {
        return false;
    }

    out.WriteLine("== attributes: bob's join announces his and asks for the others', alice answers");
    if (!alice.Expect(CHAT_EVENT_ATTRIBUTE, ch + " bob mood cheerful", t) ||
        !bob.Expect(CHAT_EVENT_ATTRIBUTE, ch + " alice colour green", t))
    {
        return false;
    }
    out.WriteLine("== attributes: alice tells the channel a new one");
    alice.Say("/attr status busy");
    alice.Chat().SendAttributeUpdate("status", "busy");
    if (!bob.Expect(CHAT_EVENT_ATTRIBUTE, ch + " alice status busy", t))
    {
        return false;
    }

    out.WriteLine("== messages both ways");
    alice.Say("Hello bob, welcome to " + ch + "!");
    alice.Chat().SendChannelMessage(ch.c_str(), ("Hello bob, welcome to " + ch + "!").c_str());
    if (!bob.Expect(CHAT_EVENT_MESSAGE, ch + " alice Hello bob, welcome to " + ch + "!", t))
    {
        return false;
    }
    bob.Say("Thanks alice: glad to be here.");
    bob.Chat().SendChannelMessage(ch.c_str(), "Thanks alice: glad to be here.");
    if (!alice.Expect(CHAT_EVENT_MESSAGE, ch + " bob Thanks alice: glad to be here.", t))
    {
        return false;
    }

    out.WriteLine("== bob changes his nickname");
    bob.Say("/nick robert");
    bob.Chat().SetNickname("robert");
    if (!alice.Expect(CHAT_EVENT_NICK, "bob robert " + ch, t))
    {
        return false;
    }
    bob.Say("Call me robert from now on.");
    bob.Chat().SendChannelMessage(ch.c_str(), "Call me robert from now on.");
    if (!alice.Expect(CHAT_EVENT_MESSAGE, ch + " robert Call me robert from now on.", t))
    {
        return false;
    }

    out.WriteLine("== robert leaves the channel");
    bob.Say("/leave " + ch);
    bob.Chat().LeaveChannel(ch.c_str());
    if (!alice.Expect(CHAT_EVENT_PART, ch + " robert", t))
    {
        return false;
    }
    return true;
}
}

int main(int argc, char** argv)
{
    DemoSettings settings;
    if (!ParseSettings(argc, argv, settings))
    {
        std::fprintf(stderr, "usage: ChatDemo [--channel #CHANNEL] [--library PATH] SERVER\n");
        return 2;
    }
    ConsoleWriter out(stdout);
    ChatLibrary library;
    std::string error;
    std::string path =
        settings.library.empty() ? ChatLibrary::BesideProgram("ZymChat.dll") : settings.library;
    if (!library.Load(path, error))
    {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    bool done = false;
    {
        DemoParticipant alice("alice", out);
        DemoParticipant bob("bob", out);
        if (!alice.Create(library) || !bob.Create(library))
        {
            std::fprintf(stderr, "the library gave no chat component\n");
            return 1;
        }
        out.WriteLine("== two chat components, one server: " + settings.server);
        done = Conversation(alice, bob, settings.server, settings.channel, out);
        out.WriteLine("== both quit");
        alice.Quit();
        bob.Quit();
    }
    if (!library.CanUnload())
    {
        out.WriteLine("demo failed: the library still reports live components");
        return 1;
    }
    out.WriteLine(done ? "== the conversation is over" : "== the conversation broke off");
    return done ? 0 : 1;
}
