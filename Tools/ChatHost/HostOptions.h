#ifndef HOSTOPTIONS_H
#define HOSTOPTIONS_H

#include <string>

// Command line of the console host:
//   ChatHost [--nick NAME] [--user NAME] [--name FULLNAME] [--channel CHANNEL]
//            [--library PATH] SERVER
class HostOptions
{
public:
    HostOptions();

    // False with a reason when the line cannot be used.
    bool Parse(int argc, const char* const* argv, std::string& error);

    static std::string Usage();

    std::string server;
    std::string nickname;
    std::string userName;
    std::string realName;
    std::string channel;
    std::string library;
};

#endif
