#ifndef BARELINEREADER_H
#define BARELINEREADER_H

#include <chrono>
#include <string>

#include <winsock.h>

// The yardstick for inbound dispatch: a Winsock client that connects to the
// server, receives in chunks of a fixed size and splits the bytes into CR LF
// lines, and does nothing else with them.
class BareLineReader
{
public:
    typedef std::chrono::steady_clock Clock;

    BareLineReader(const std::string& address, int chunkSize);
    ~BareLineReader();

    bool Connect();
    // Reads until expected lines are in, the peer closes, or timeoutMs pass;
    // the number of lines read.
    long ReadLines(long expected, int timeoutMs);
    // When the last line counted by ReadLines was complete.
    Clock::time_point LastLineTime() const;

private:
    BareLineReader(const BareLineReader&) = delete;
    BareLineReader& operator=(const BareLineReader&) = delete;

    std::string m_Address;
    int m_nChunkSize;
    SOCKET m_hSocket;
    Clock::time_point m_LastLine;
};

#endif
