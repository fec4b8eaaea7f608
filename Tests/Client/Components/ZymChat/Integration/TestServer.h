#ifndef TESTSERVER_H
#define TESTSERVER_H

#include <string>

// The real IRC server a test run talks to, as with-irc-server.sh announces
// it, and names that no earlier test of the run has used on it (a quit
// nickname may linger on the server for a moment).
class TestServer
{
public:
    // Loopback address of the server; empty when the run was not started
    // through with-irc-server.sh.
    static std::string Address();
    // "ngircd" or "inspircd".
    static std::string Kind();
    // The server text for the next client of the run: where the server also
    // takes TLS (ZYM_IRC_TLS_SERVER), every other client comes over TLS, so
    // that TLS and plain clients meet in each channel; else the plain
    // address.
    static std::string NextServerText();
    // prefix followed by a number new to this run; at most 9 characters for
    // prefixes of up to 5.
    static std::string UniqueName(const std::string& prefix);
};

#endif
