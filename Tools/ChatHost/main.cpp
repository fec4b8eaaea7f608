// Console chat host: loads the chat component library by path, as a host
// application does, prints every event and takes commands from standard input.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "ChatLibrary.h"
#include "ConsoleCommands.h"
#include "ConsoleWriter.h"
#include "EventText.h"
#include "HostOptions.h"
#include "RecordingSink.h"

int main(int argc, char** argv)
{
    ConsoleWriter out(stdout);
    HostOptions options;
    std::string error;
    if (!options.Parse(argc, argv, error))
    {
        std::fprintf(stderr, "%s\n%s\n", error.c_str(), HostOptions::Usage().c_str());
        return 2;
    }

    ChatLibrary library;
    std::string path =
        options.library.empty() ? ChatLibrary::BesideProgram("ZymChat.dll") : options.library;
    if (!library.Load(path, error))
    {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    ExtendedChatComponent* extended = options.classic ? nullptr : library.CreateExtendedChat();
    ChatComponent* chat = options.classic ? library.CreateChat() : extended;
    if (chat == nullptr)
    {
        std::fprintf(stderr, "the library gave no chat component\n");
        return 1;
    }

    // A console session can run for hours: print events, keep none.
    RecordingSink sink(false);
    // A channel message comes right after its tags, which were printed as the
    // message with its time and sender's account: it is not printed twice.
    std::atomic<bool> tagged(false);
    sink.SetObserver([&out, &tagged](const EventRecord& record) {
        bool shown = tagged.exchange(record.kind == EventRecord::Detail &&
                                     record.code == CHAT_EVENT_MESSAGE_DETAILS);
        if (!(shown && record.kind == EventRecord::Text && record.code == CHAT_EVENT_MESSAGE))
        {
            out.WriteLine(EventText::Describe(record));
        }
    });
    if (extended == nullptr)
    {
        chat->SetEventSink(&sink);
    }
    else
    {
        extended->SetExtendedEventSink(&sink);
        if (options.echo)
        {
            extended->RequestCapability("echo-message");
        }
        if (!options.clientCertificate.empty() &&
            extended->SetClientCertificate(options.clientCertificate.c_str()) != 1)
        {
            std::fprintf(stderr, "--client-cert %s is not a certificate thumbprint\n",
                         options.clientCertificate.c_str());
            chat->Release();
            return 2;
        }
        if (options.saslMechanism == "EXTERNAL")
        {
            int flags = options.saslRequired ? SASL_LOGIN_REQUIRED : 0;
            if (extended->SetSaslLogin("EXTERNAL", options.account.c_str(), nullptr, flags) != 1)
            {
                std::fprintf(stderr, "the SASL EXTERNAL login was refused\n");
                chat->Release();
                return 2;
            }
        }
        else if (!options.saslMechanism.empty())
        {
            const char* password = std::getenv(options.passwordVariable.c_str());
            int flags = (options.saslRequired ? SASL_LOGIN_REQUIRED : 0) |
                        (options.saslPlaintext ? SASL_LOGIN_ALLOW_PLAINTEXT : 0);
            if (password == nullptr ||
                extended->SetSaslLogin(options.saslMechanism.c_str(), options.account.c_str(),
                                       password, flags) != 1)
            {
                std::fprintf(stderr, "no usable password in %s for the SASL login\n",
                             options.passwordVariable.c_str());
                chat->Release();
                return 2;
            }
        }
    }
    chat->SetNickname(options.nickname.c_str());
    chat->SetUserName(options.userName.c_str());
    chat->SetRealName(options.realName.c_str());

    ConsoleCommands commands(*chat, out);
    if (!options.channel.empty())
    {
        // Before the welcome the join waits in the component until the server
        // has accepted the login.
        chat->JoinChannel(options.channel.c_str(), 0);
        commands.SetCurrentChannel(options.channel);
    }
    chat->ConnectToServer(options.server.c_str());
    out.WriteLine("* " + options.nickname + " connecting to " + options.server +
                  "; /help lists the commands");

    std::string line;
    bool running = true;
    while (running && std::getline(std::cin, line))
    {
        if (!line.empty() && line.back() == '\r')
        {
            line.pop_back();
        }
        running = commands.Execute(line);
    }
    if (running)
    {
        chat->Quit();
    }
    // Waits for the component's background thread to end.
    chat->Release();
    out.WriteLine("* bye");
    return 0;
}
