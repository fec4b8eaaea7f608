#include "TCPSocket.h"

#include <cstring>

#include "ScopedThreadLock.h"
#include "SocketResults.h"

TCPSocket::TCPSocket()
{
    m_nNetworkState = WSAStartup(0x0101, &m_StartupData) == 0 ? 1 : 2;
}

TCPSocket::~TCPSocket()
{
    m_nNetworkState = 0;
}

int TCPSocket::Connect(const SocketAddress& address, int nPort)
{
    SOCKET hSocket;
    {
        ScopedThreadLock hold(m_CloseLock);
        if (m_hSocket == 0)
        {
            SOCKET hCreated = socket(AF_INET, SOCK_STREAM, 0);
            if (hCreated == INVALID_SOCKET)
            {
                WSAGetLastError();
                m_nNetworkState = 2;
                return ZymSocketCreateFailed;
            }
            m_hSocket = hCreated;
        }
        if (m_nConnectionState == 1)
            return ZymAlreadyConnected;
        if (m_nNetworkState == 0)
        {
            m_nConnectionState = 2;
            return ZymNetworkNotStarted;
        }
        if (m_nNetworkState == 2)
        {
            m_nConnectionState = 2;
            return ZymNetworkFailed;
        }
        m_Address = address;
        m_nPort = nPort;
        hSocket = m_hSocket;
    }

    // Resolving and connecting take time and run without the lock, so that
    // a Disconnect meanwhile can cut them short; they work on copies.
    SocketAddress target(address);
    char szDotted[SocketAddress::kDottedBufferSize];
    int nResult = target.GetDottedAddress(szDotted);
    if (nResult != ZymSocketOk)
    {
        m_nNetworkState = 2;
        return nResult;
    }

    unsigned long nAddress = 0;
    if (szDotted[0] >= '0' && szDotted[0] <= '9')
    {
        nAddress = inet_addr(szDotted);
    }
    else
    {
        hostent* pEntry = gethostbyname(szDotted);
        if (pEntry == nullptr || pEntry->h_addr_list == nullptr || pEntry->h_addr_list[0] == nullptr)
        {
            WSAGetLastError();
            return ZymHostLookupFailed;
        }
        nAddress = *reinterpret_cast<unsigned long*>(pEntry->h_addr_list[0]);
    }

    sockaddr_in peer;
    std::memset(&peer, 0, sizeof(peer));
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<u_short>(nPort));
    peer.sin_addr.s_addr = nAddress;

    bool bConnected =
        connect(hSocket, reinterpret_cast<sockaddr*>(&peer), sizeof(peer)) != SOCKET_ERROR;
    if (!bConnected)
        WSAGetLastError();

    ScopedThreadLock hold(m_CloseLock);
    // Closed by Disconnect while connecting: the handle is gone already.
    if (m_hSocket != hSocket)
        return ZymConnectFailed;
    m_PeerAddress = peer;
    m_Address = target;
    m_nConnectionState = bConnected ? 1 : 2;
    return bConnected ? ZymSocketOk : ZymConnectFailed;
}

int TCPSocket::Disconnect()
{
    ScopedThreadLock hold(m_CloseLock);
    // A socket whose send or receive failed is marked not connected but
    // still holds its handle; that handle is closed as well, or it would
    // leak.
    if (m_nConnectionState == 0 && m_hSocket == 0)
        return ZymSocketOk;
    if (m_nConnectionState != 0)
    {
        m_nPort = 0;
        m_Address.ResetAddress("");
        m_nConnectionState = 0;
    }
    SOCKET hSocket = m_hSocket;
    m_hSocket = 0;
    if (hSocket != 0)
    {
        shutdown(hSocket, 0);
        closesocket(hSocket);
    }
    return ZymSocketOk;
}

int TCPSocket::Send(const char* pData, int* pLength)
{
    if (m_nNetworkState != 1 || m_nConnectionState != 1)
        return ZymSocketOk;
    SOCKET hSocket = m_hSocket;
    int nSent = send(hSocket, pData, *pLength, 0);
    if (nSent == SOCKET_ERROR)
    {
        WSAGetLastError();
        ScopedThreadLock hold(m_CloseLock);
        // Closed by Disconnect meanwhile: like a send after it, nothing to
        // report.
        if (m_hSocket != hSocket || hSocket == 0)
            return ZymSocketOk;
        m_nConnectionState = 0;
        return ZymSendFailed;
    }
    *pLength = nSent;
    return ZymSocketOk;
}

int TCPSocket::Receive(char* pBuffer, int* pLength)
{
    if (m_nNetworkState != 1 || m_nConnectionState != 1)
        return ZymSocketOk;
    SOCKET hSocket = m_hSocket;
    int nReceived = recv(hSocket, pBuffer, *pLength, 0);
    if (nReceived == SOCKET_ERROR)
    {
        int nError = WSAGetLastError();
        ScopedThreadLock hold(m_CloseLock);
        // Closed by Disconnect while waiting: the end this side asked for.
        if (m_hSocket != hSocket || hSocket == 0)
            return ZymConnectionAborted;
        m_nConnectionState = 0;
        return nError == WSAECONNABORTED ? ZymConnectionAborted : ZymReceiveFailed;
    }
    *pLength = nReceived;
    return ZymSocketOk;
}

int TCPSocket::SocketReserved1()
{
    return ZymNotSupported;
}

int TCPSocket::SocketReserved2()
{
    return ZymNotSupported;
}

int TCPSocket::SocketReserved3()
{
    return ZymNotSupported;
}

int TCPSocket::SocketReserved4()
{
    return ZymNotSupported;
}
