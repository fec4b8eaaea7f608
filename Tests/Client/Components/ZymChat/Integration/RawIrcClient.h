#ifndef RAWIRCCLIENT_H
#define RAWIRCCLIENT_H

#include <winsock.h>

#include <string>

// A bare IRC client of a test, for what no host operation sends (TOPIC,
// KICK, a QUIT with a reason): it writes the lines it is given and reads
// until an awaited text arrives, each wait bounded.
class RawIrcClient
{
public:
    // Connects to port 6667 of the address and registers under the nickname.
    RawIrcClient(const std::string& address, const std::string& nickname);
    ~RawIrcClient();

    // The server welcomed it.
    bool Registered() const { return m_bRegistered; }
    bool Send(const std::string& line);
    // True once the text has arrived since the last wait that found its own.
    bool WaitFor(const std::string& text, int timeoutMs);

private:
    RawIrcClient(const RawIrcClient&) = delete;
    RawIrcClient& operator=(const RawIrcClient&) = delete;

    SOCKET m_hSocket;
    std::string m_Received;
    bool m_bRegistered;
};

#endif
