#ifndef BAREWAKECHAIN_H
#define BAREWAKECHAIN_H

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include <winsock.h>

// The yardstick for the send delay: the way a queued line takes through the
// component, in bare Winsock and nothing else. A thread waits in select on
// a connection to the server and on a UDP socket connected to itself; Send
// hands it a line and wakes it with a datagram, and it sends the line.
class BareWakeChain
{
public:
    explicit BareWakeChain(const std::string& address);
    ~BareWakeChain();

    // Connects, makes the wake socket and starts the waiting thread.
    bool Start();
    // Hands the line (CR LF included) to the waiting thread and wakes it.
    bool Send(const std::string& line);

private:
    BareWakeChain(const BareWakeChain&) = delete;
    BareWakeChain& operator=(const BareWakeChain&) = delete;

    void Wait();

    std::string m_Address;
    SOCKET m_hConnection;
    SOCKET m_hWake;
    std::mutex m_Lock;
    std::string m_Pending;
    std::atomic<bool> m_bStop;
    std::thread m_Thread;
};

#endif
