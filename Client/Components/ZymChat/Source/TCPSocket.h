#ifndef ZYM_TCPSOCKET_H
#define ZYM_TCPSOCKET_H

#include <atomic>

#include "SocketBase.h"
#include "ThreadLock.h"

// The bottom layer of a connection to a server: the system's socket, on the
// raw calls of SocketCalls.h. Construction starts the network (Windows
// Sockets 1.1); nothing ever shuts it down, and destruction does not close
// the socket: the owner calls Disconnect first.
//
// The socket handle has one owner, this object, and is closed only by
// Disconnect, under m_CloseLock: either thread may call Disconnect at any
// time, also while the other one connects, sends or receives, and the handle
// is closed exactly once. A connect or receive cut short that way fails
// quietly.
class TCPSocket final : public SocketBase
{
public:
    TCPSocket();
    ~TCPSocket() override;

    SocketResult Connect(const SocketAddress& address, int nPort) override;
    SocketResult Disconnect() override;
    SocketResult Send(const char* pData, int* pLength) override;
    SocketResult Receive(char* pBuffer, int* pLength) override;
    StreamState GetConnectionState() const override;
    SocketResult BytesAvailable(int* pCount) override;
    bool HoldsData() const override;
    SocketHandle GetHandle() const override { return m_hSocket; }

    // 0 not started, 1 started, 2 failed.
    int GetNetworkState() const;
    SocketResult GetAddress(SocketAddress* pAddress) const;
    SocketResult GetPort(int* pPort) const;
    SocketResult SocketReserved1();
    SocketResult SocketReserved2();
    SocketResult SocketReserved3();
    SocketResult SocketReserved4();

private:
    // The result of a query of the connection's settings for the current
    // network state: only a started network has settings to give.
    SocketResult SettingsQueryResult() const;

    // The states and the handle are read by one thread while the other
    // closes the socket.
    std::atomic<int> m_nNetworkState;
    std::atomic<StreamState> m_ConnectionState;
    SocketAddress m_Address;
    int m_nPort;
    std::atomic<SocketHandle> m_hSocket;
    NetworkStartupData m_StartupData;
    sockaddr_in m_PeerAddress;
    ThreadLock m_CloseLock;
};

#endif
