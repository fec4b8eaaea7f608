#ifndef ZYM_SOCKETBASE_H
#define ZYM_SOCKETBASE_H

#include <winsock.h>

#include "SocketAddress.h"

// A blocking IPv4 stream connection on Windows Sockets 1.1. Every operation
// returns a result code of SocketResults.h except the two state queries. No
// lock: Disconnect from another thread is how a waiting reader is stopped.
class SocketBase
{
public:
    virtual int Connect(const SocketAddress& address, int nPort) = 0;
    virtual int Disconnect() = 0;
    // 0 not started, 1 started, 2 failed.
    virtual int GetNetworkState();
    // 0 not connected, 1 connected, 2 the last connect failed.
    virtual int GetConnectionState();
    virtual int GetAddress(SocketAddress* pAddress);
    virtual int GetPort(int* pPort);
    // *pLength: bytes to send in, bytes the system took out.
    virtual int Send(const char* pData, int* pLength) = 0;
    // *pLength: room in, bytes received out (0 when the peer has closed).
    virtual int Receive(char* pBuffer, int* pLength) = 0;
    // 8808 when nothing can be read without blocking.
    virtual int BytesAvailable(int* pCount);
    // True while the socket holds bytes of its own that a Receive would hand
    // out without the system's help (a select on the handle knows nothing
    // of them).
    virtual bool HoldsData();

    SOCKET GetHandle() const { return m_hSocket; }

protected:
    SocketBase();
    // Not virtual: the owner destroys a socket through its own type.
    ~SocketBase();

    int m_nNetworkState;
    int m_nConnectionState;
    SocketAddress m_Address;
    int m_nPort;
    volatile SOCKET m_hSocket;
    WSADATA m_StartupData;
    sockaddr_in m_PeerAddress;

private:
    // The result of a query of the connection's settings for the current
    // network state: only a started network has settings to give.
    int SettingsQueryResult() const;

    SocketBase(const SocketBase&) = delete;
    SocketBase& operator=(const SocketBase&) = delete;
};

#endif
