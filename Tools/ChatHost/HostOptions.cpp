#include "HostOptions.h"

HostOptions::HostOptions()
    : nickname("guest"),
      realName("Console chat host"),
      classic(false),
      echo(false),
      saslRequired(false),
      saslPlaintext(false)
{
}

bool HostOptions::Parse(int argc, const char* const* argv, std::string& error)
{
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        std::string* target = nullptr;
        bool* flag = nullptr;
        if (arg == "--classic")
        {
            flag = &classic;
        }
        else if (arg == "--echo")
        {
            flag = &echo;
        }
        else if (arg == "--sasl-required")
        {
            flag = &saslRequired;
        }
        else if (arg == "--sasl-plaintext")
        {
            flag = &saslPlaintext;
        }
        else if (arg == "--sasl")
        {
            target = &saslMechanism;
        }
        else if (arg == "--account")
        {
            target = &account;
        }
        else if (arg == "--password-env")
        {
            target = &passwordVariable;
        }
        else if (arg == "--client-cert")
        {
            target = &clientCertificate;
        }
        else if (arg == "--nick")
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
        if (flag != nullptr)
        {
            *flag = true;
            continue;
        }
        if (target == nullptr && arg.size() > 1 && arg[0] == '-')
        {
            error = "unknown option " + arg;
            return false;
        }
        if (target == nullptr && server.empty())
        {
            server = arg;
            continue;
        }
        if (target == nullptr)
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
    bool external = saslMechanism == "EXTERNAL";
    if (!saslMechanism.empty() && !external &&
        (saslMechanism != "PLAIN" && saslMechanism != "SCRAM-SHA-256"))
    {
        error = "--sasl takes PLAIN, SCRAM-SHA-256 or EXTERNAL";
        return false;
    }
    if (!saslMechanism.empty() && !external && (account.empty() || passwordVariable.empty()))
    {
        error = "--sasl needs --account and --password-env";
        return false;
    }
    // The certificate is the proof: no password goes with it.
    if (external && (clientCertificate.empty() || !passwordVariable.empty()))
    {
        error = "--sasl EXTERNAL needs --client-cert and takes no --password-env";
        return false;
    }
    bool extendedOnly = echo || !saslMechanism.empty() || saslRequired || saslPlaintext ||
                        !clientCertificate.empty();
    if (classic && extendedOnly)
    {
        error = "--classic takes no --echo, --sasl or --client-cert options";
        return false;
    }
    // These values end up in protocol lines, where a line break would start a
    // command of its own.
    for (const std::string* value : {&nickname, &userName, &realName, &channel, &account})
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
           "[--channel CHANNEL] [--library PATH] [--classic] [--echo]\n"
           "         [--sasl PLAIN|SCRAM-SHA-256 --account NAME --password-env VARIABLE\n"
           "          [--sasl-required] [--sasl-plaintext]]\n"
           "         [--client-cert THUMBPRINT [--sasl EXTERNAL [--account NAME] "
           "[--sasl-required]]] SERVER\n"
           "SERVER: HOST (port 6667), HOST:PORT, or ircs://HOST[:PORT] for TLS (port 6697)\n"
           "--classic         today's interface: no capabilities requested, no new events\n"
           "--echo            ask for echo-message: our own messages come back\n"
           "--sasl MECHANISM  log in to ACCOUNT with the password in the environment\n"
           "                  variable VARIABLE\n"
           "--sasl-required   end the connection when the SASL login fails\n"
           "--sasl-plaintext  allow the password over a connection without TLS\n"
           "--client-cert THUMBPRINT  present this certificate of the MY store (its SHA-1\n"
           "                  thumbprint, 40 hex digits) to an ircs:// server\n"
           "--sasl EXTERNAL   log in with that certificate; ACCOUNT, if given, is the\n"
           "                  account to act as";
}
