#include "ConsoleCommands.h"

namespace
{
// A text ends up inside one protocol line of at most 512 bytes, behind the
// command word and a channel name. Longer lines are refused here, where the
// user reads why, instead of by an alert box inside the component.
const std::string::size_type kLongestLine = 400;

// A CR or LF inside a text would end the protocol line early and send the
// rest to the server as a command of its own; a NUL would cut the text short
// without a word.
const std::string kUnsendable("\r\n\0", 3);

// Splits off the first blank-separated word; rest gets what follows the
// blanks behind it.
std::string FirstWord(const std::string& text, std::string& rest)
{
    std::string::size_type start = text.find_first_not_of(' ');
    if (start == std::string::npos)
    {
        rest.clear();
        return std::string();
    }
    std::string::size_type end = text.find(' ', start);
    if (end == std::string::npos)
    {
        rest.clear();
        return text.substr(start);
    }
    std::string::size_type next = text.find_first_not_of(' ', end);
    rest = next == std::string::npos ? std::string() : text.substr(next);
    return text.substr(start, end - start);
}
}

ConsoleCommands::ConsoleCommands(ChatComponent& chat, ConsoleWriter& out)
    : m_Chat(chat), m_Out(out)
{
}

const std::string& ConsoleCommands::CurrentChannel() const
{
    return m_CurrentChannel;
}

void ConsoleCommands::SetCurrentChannel(const std::string& channel)
{
    m_CurrentChannel = channel;
}

std::string ConsoleCommands::Help()
{
    return "commands:\n"
           "  /join CHANNEL [secret]   join (and make it the current channel)\n"
           "  /leave [CHANNEL]         leave\n"
           "  /channel CHANNEL         switch the current channel\n"
           "  /msg CHANNEL TEXT        message to a channel\n"
           "  /notice TARGET TEXT      notice to a channel\n"
           "  /invite NICK [CHANNEL]   invite someone\n"
           "  /names [CHANNEL]         members of a channel\n"
           "  /list                    channel list\n"
           "  /nick NAME               change nickname\n"
           "  /attr KEY VALUE          tell the channels one of your attributes\n"
           "  /mode TARGET MODE [ARG]  change a mode\n"
           "  /quit                    leave the server and end\n"
           "  any other line           message to the current channel";
}

std::string ConsoleCommands::ChannelOrCurrent(const std::string& given)
{
    if (!given.empty())
    {
        return given;
    }
    if (m_CurrentChannel.empty())
    {
        m_Out.WriteLine("* no channel: /join one first");
    }
    return m_CurrentChannel;
}

void ConsoleCommands::SendToChannel(const std::string& channel, const std::string& text)
{
    int result = m_Chat.SendChannelMessage(channel.c_str(), text.c_str());
    if (result == -1)
    {
        m_Out.WriteLine("* not in " + channel + " (yet)");
    }
    else if (result == 0)
    {
        m_Out.WriteLine("* the message could not be queued");
    }
}

bool ConsoleCommands::Execute(const std::string& line)
{
    if (line.empty())
    {
        return true;
    }
    if (line.size() > kLongestLine)
    {
        m_Out.WriteLine("* line refused: longer than " + std::to_string(kLongestLine) + " characters");
        return true;
    }
    if (line.find_first_of(kUnsendable) != std::string::npos)
    {
        m_Out.WriteLine("* line refused: it holds a CR, LF or NUL character");
        return true;
    }
    if (line[0] != '/' || line.compare(0, 2, "//") == 0)
    {
        std::string text = line[0] == '/' ? line.substr(1) : line;
        std::string channel = ChannelOrCurrent(std::string());
        if (!channel.empty())
        {
            SendToChannel(channel, text);
        }
        return true;
    }

    std::string args;
    std::string command = FirstWord(line.substr(1), args);
    std::string rest;
    std::string first = FirstWord(args, rest);

    if (command == "quit")
    {
        m_Chat.Quit();
        return false;
    }
    if (command == "help")
    {
        m_Out.WriteLine(Help());
    }
    else if (command == "join" && !first.empty())
    {
        std::string unused;
        bool secret = FirstWord(rest, unused) == "secret";
        // Kind 3 asks the component to make the channel secret once joined.
        m_Chat.JoinChannel(first.c_str(), secret ? 3 : 0);
        m_CurrentChannel = first;
    }
    else if (command == "leave")
    {
        std::string channel = ChannelOrCurrent(first);
        if (!channel.empty())
        {
            m_Chat.LeaveChannel(channel.c_str());
            if (channel == m_CurrentChannel)
            {
                m_CurrentChannel.clear();
            }
        }
    }
    else if (command == "channel" && !first.empty())
    {
        m_CurrentChannel = first;
    }
    else if (command == "msg" && !first.empty() && !rest.empty())
    {
        SendToChannel(first, rest);
    }
    else if (command == "notice" && !first.empty() && !rest.empty())
    {
        m_Chat.SendNotice(first.c_str(), rest.c_str(), nullptr);
    }
    else if (command == "invite" && !first.empty())
    {
        std::string unused;
        std::string channel = ChannelOrCurrent(FirstWord(rest, unused));
        if (!channel.empty())
        {
            m_Chat.SendInvite(channel.c_str(), first.c_str());
        }
    }
    else if (command == "names")
    {
        std::string channel = ChannelOrCurrent(first);
        if (!channel.empty())
        {
            m_Chat.RequestNames(channel.c_str());
        }
    }
    else if (command == "list")
    {
        m_Chat.ListChannels();
    }
    else if (command == "nick" && !first.empty())
    {
        m_Chat.SetNickname(first.c_str());
    }
    else if (command == "attr" && !first.empty() && !rest.empty())
    {
        m_Chat.SendAttributeUpdate(first.c_str(), rest.c_str());
    }
    else if (command == "mode" && !first.empty() && !rest.empty())
    {
        std::string argument;
        std::string mode = FirstWord(rest, argument);
        m_Chat.SetMode(first.c_str(), mode.c_str(), argument.empty() ? nullptr : argument.c_str());
    }
    else
    {
        m_Out.WriteLine("* not understood: " + line + " (/help lists the commands)");
    }
    return true;
}
