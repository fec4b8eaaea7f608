#include "HostOptions.h"

HostOptions::HostOptions() : nickname("guest"), realName("Console chat host")
{
}

bool HostOptions::Parse(int argc, const char* const* argv, std::string& error)
{
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        std::string* target = nullptr;
        if (arg == "--nick")
        {
            target = &nickname;
        }
        else if (arg == "--user")
        {
            target = &userName;
        }
        else if (arg == "--name")
        {
            target = &realName;
        }
        else if (arg == "--channel")
        {
            target = &channel;
        }
        else if (arg == "--library")
        {
            target = &library;
        }
        else if (arg.size() > 1 && arg[0] == '-')
        {
            error = "unknown option " + arg;
            return false;
        }
        else if (server.empty())
        {
            server = arg;
            continue;
        }
        else
        {
            error = "more than one server given: " + arg;
            return false;
        }
        if (i + 1 >= argc)
        {
            error = arg + " needs a value";
            return false;
        }
        *target = argv[++i];
    }
    if (server.empty())
    {
        error = "no server given";
        return false;
    }
    if (nickname.empty())
    {
        error = "the nickname must not be empty";
        return false;
    }
    if (userName.empty())
    {
        userName = nickname;
    }
    // These values end up in protocol lines, where a line break would start a
    // command of its own.
    for (const std::string* value : {&nickname, &userName, &realName, &channel})
    {
        if (value->find_first_of("\r\n") != std::string::npos)
        {
            error = "option values must not hold line breaks";
            return false;
        }
    }
    return true;
}

std::string HostOptions::Usage()
{
    return "usage: ChatHost [--nick NAME] [--user NAME] [--name FULLNAME] "
           "[--channel CHANNEL] [--library PATH] SERVER\n"
           "SERVER: HOST (port 6667), HOST:PORT, or ircs://HOST[:PORT] for TLS (port 6697)";
}
