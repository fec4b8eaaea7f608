#ifndef HOSTOPTIONS_H
#define HOSTOPTIONS_H

#include <string>

// Command line of the console host (Usage spells out each option):
//   ChatHost [--nick NAME] [--user NAME] [--name FULLNAME] [--channel CHANNEL]
//            [--library PATH] [--classic] [--echo]
//            [--sasl PLAIN|SCRAM-SHA-256 --account NAME --password-env VARIABLE
//             [--sasl-required] [--sasl-plaintext]] [--client-cert THUMBPRINT
//            [--sasl EXTERNAL [--account NAME] [--sasl-required]]] SERVER
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
    // Today's interface instead of the extended one.
    bool classic;
    bool echo;
    std::string saslMechanism;
    std::string account;
    // The password is read from this environment variable, never from the
    // command line, which other users of the machine can see.
    std::string passwordVariable;
    bool saslRequired;
    bool saslPlaintext;
    // The SHA-1 thumbprint of the certificate in the system's MY store that
    // TLS connections present; the component checks its form.
    std::string clientCertificate;
};

#endif
