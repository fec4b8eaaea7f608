#ifndef SERVERRELAY_H
#define SERVERRELAY_H

#include <winsock.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "FakeIrcServer.h"

// Stands between one chat component and the real test server: the component
// connects to Address() (port 6667 of a loopback address of the relay's own),
// and every byte is passed on unchanged in both directions, so a test sees
// what crosses the wire, such as the server's PINGs and the component's
// PONGs, which no host event shows.
class ServerRelay
{
public:
    ServerRelay(const std::string& serverAddress, const char* pszFirstAddress);
    ~ServerRelay();

    bool IsListening() const { return m_Facing.IsListening(); }
    const std::string& Address() const { return m_Facing.Address(); }

    // True once the component has sent at least nCount PONG lines, each
    // answering the server's PING before it with the same token.
    bool WaitForPongs(int nCount, int nTimeoutMs);

private:
    ServerRelay(const ServerRelay&) = delete;
    ServerRelay& operator=(const ServerRelay&) = delete;

    void Pump();
    bool ConnectUpstream();
    bool SendUpstream(const std::string& bytes);

    std::string m_ServerAddress;
    FakeIrcServer m_Facing;
    SOCKET m_hUpstream;
    std::atomic<bool> m_bStop;
    std::mutex m_FromServerLock;
    std::string m_FromServer;
    std::thread m_Thread;
};

#endif
