#ifndef CONSOLECOMMANDS_H
#define CONSOLECOMMANDS_H

#include <string>

#include "ComponentInterfaces/ChatComponent.h"
#include "ConsoleWriter.h"

// The console host's input language: a line that begins with "/" is a
// command, any other line a message to the current channel ("//" starts a
// message with a slash). The component answers through the sink, so a
// command only says what it could not do.
class ConsoleCommands
{
public:
    ConsoleCommands(ChatComponent& chat, ConsoleWriter& out);

    // Carries out one line; false once the user has quit.
    bool Execute(const std::string& line);

    // The channel that plain lines go to; empty before the first join.
    const std::string& CurrentChannel() const;
    void SetCurrentChannel(const std::string& channel);

    static std::string Help();

private:
    ConsoleCommands(const ConsoleCommands&) = delete;
    ConsoleCommands& operator=(const ConsoleCommands&) = delete;

    void SendToChannel(const std::string& channel, const std::string& text);
    // The given channel, or the current one when none is given; empty (and a
    // note printed) when there is neither.
    std::string ChannelOrCurrent(const std::string& given);

    ChatComponent& m_Chat;
    ConsoleWriter& m_Out;
    std::string m_CurrentChannel;
};

#endif
