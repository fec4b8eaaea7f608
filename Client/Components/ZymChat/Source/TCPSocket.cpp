#include "TCPSocket.h"

#include <cstring>

#include "ScopedThreadLock.h"
#include "SocketCalls.h"
#include "SocketResults.h"

TCPSocket::TCPSocket()
    : m_nNetworkState(0), m_ConnectionState(StreamClosed), m_nPort(0), m_hSocket(0)
{
    std::memset(&m_StartupData, 0, sizeof(m_StartupData));
    std::memset(&m_PeerAddress, 0, sizeof(m_PeerAddress));
    m_nNetworkState = StartNetwork(&m_StartupData) == 0 ? 1 : 2;
}

TCPSocket::~TCPSocket()
{
    m_nNetworkState = 0;
}

SocketResult TCPSocket::Connect(const SocketAddress& address, int nPort)
{
    SocketHandle hSocket;
    {
        ScopedThreadLock hold(m_CloseLock);
        if (m_hSocket == 0)
        {
            SocketHandle hCreated = 0;
            if (OpenStreamSocket(&hCreated) != ZymSocketOk)
            {
                m_nNetworkState = 2;
                return ZymSocketCreateFailed;
            }
            m_hSocket = hCreated;
        }
        if (m_ConnectionState == StreamOpen)
            return ZymAlreadyConnected;
        if (m_nNetworkState == 0)
        {
            m_ConnectionState = StreamConnectFailed;
            return ZymNetworkNotStarted;
        }
        if (m_nNetworkState == 2)
        {
            m_ConnectionState = StreamConnectFailed;
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
    SocketResult nResult = target.GetDottedAddress(szDotted);
    if (nResult != ZymSocketOk)
    {
        m_nNetworkState = 2;
        return nResult;
    }

    unsigned long nAddress = 0;
    if (szDotted[0] >= '0' && szDotted[0] <= '9')
    {
        // A text that is no address is used as the system parses it: as the
        // all-ones address, which no connect reaches.
        if (TextToAddress(szDotted, &nAddress) != ZymSocketOk)
            nAddress = 0xFFFFFFFFul;
    }
    else if (ResolveHostName(szDotted, &nAddress) != ZymSocketOk)
    {
        return ZymHostLookupFailed;
    }

    sockaddr_in peer;
    std::memset(&peer, 0, sizeof(peer));
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<unsigned short>(nPort));
    peer.sin_addr.s_addr = nAddress;

    bool bConnected = ConnectStreamSocket(hSocket, peer) == ZymSocketOk;

    ScopedThreadLock hold(m_CloseLock);
    // Closed by Disconnect while connecting: the handle is gone already.
    if (m_hSocket != hSocket)
        return ZymConnectFailed;
    m_PeerAddress = peer;
    m_Address = target;
    m_ConnectionState = bConnected ? StreamOpen : StreamConnectFailed;
    return bConnected ? ZymSocketOk : ZymConnectFailed;
}

SocketResult TCPSocket::Disconnect()
{
    ScopedThreadLock hold(m_CloseLock);
    // A socket whose send or receive failed is marked not connected but
    // still holds its handle; that handle is closed as well, or it would
    // leak.
    if (m_ConnectionState == StreamClosed && m_hSocket == 0)
        return ZymSocketOk;
    if (m_ConnectionState != StreamClosed)
    {
        m_nPort = 0;
        m_Address.ResetAddress("");
        m_ConnectionState = StreamClosed;
    }
    SocketHandle hSocket = m_hSocket;
    m_hSocket = 0;
    if (hSocket != 0)
        CloseStreamSocket(hSocket);
    return ZymSocketOk;
}

SocketResult TCPSocket::Send(const char* pData, int* pLength)
{
    if (m_nNetworkState != 1 || m_ConnectionState != StreamOpen)
        return ZymSocketOk;
    SocketHandle hSocket = m_hSocket;
    SocketResult nResult = SendOnSocket(hSocket, pData, pLength);
    if (nResult != ZymSocketOk)
    {
        ScopedThreadLock hold(m_CloseLock);
        // Closed by Disconnect meanwhile: like a send after it, nothing to
        // report.
        if (m_hSocket != hSocket || hSocket == 0)
            return ZymSocketOk;
        m_ConnectionState = StreamClosed;
    }
    return nResult;
}

SocketResult TCPSocket::Receive(char* pBuffer, int* pLength)
{
    if (m_nNetworkState != 1 || m_ConnectionState != StreamOpen)
        return ZymSocketOk;
    SocketHandle hSocket = m_hSocket;
    SocketResult nResult = ReceiveOnSocket(hSocket, pBuffer, pLength);
    // A BSD socket shut down by Disconnect ends the wait as an orderly close
    // would, with nothing read; Windows Sockets fails it.
    if (nResult != ZymSocketOk || *pLength == 0)
    {
        ScopedThreadLock hold(m_CloseLock);
        // Closed by Disconnect while waiting: the end this side asked for.
        if (m_hSocket != hSocket || hSocket == 0)
            return ZymConnectionAborted;
        if (nResult != ZymSocketOk)
            m_ConnectionState = StreamClosed;
    }
    return nResult;
}

StreamState TCPSocket::GetConnectionState() const
{
    return m_ConnectionState;
}

int TCPSocket::GetNetworkState() const
{
    return m_nNetworkState;
}

SocketResult TCPSocket::SettingsQueryResult() const
{
    if (m_nNetworkState == 0)
        return ZymNetworkNotStarted;
    if (m_nNetworkState == 2)
        return ZymNetworkFailed;
    return ZymSocketOk;
}

SocketResult TCPSocket::GetAddress(SocketAddress* pAddress) const
{
    if (pAddress == nullptr)
        return ZymNullArgument;
    SocketResult nResult = SettingsQueryResult();
    *pAddress = nResult == ZymSocketOk ? m_Address : SocketAddress();
    return nResult;
}

SocketResult TCPSocket::GetPort(int* pPort) const
{
    if (pPort == nullptr)
        return ZymNullArgument;
    SocketResult nResult = SettingsQueryResult();
    *pPort = nResult == ZymSocketOk ? m_nPort : -1;
    return nResult;
}

bool TCPSocket::HoldsData() const
{
    return false;
}

SocketResult TCPSocket::BytesAvailable(int* pCount)
{
    if (pCount == nullptr)
        return ZymNullArgument;
    int nAvailable = 0;
    SocketResult nResult = PendingBytes(m_hSocket, &nAvailable);
    if (nResult != ZymSocketOk)
        return nResult;
    *pCount = nAvailable;
    return nAvailable == 0 ? ZymNothingToRead : ZymSocketOk;
}

SocketResult TCPSocket::SocketReserved1()
{
    return ZymNotSupported;
}

SocketResult TCPSocket::SocketReserved2()
{
    return ZymNotSupported;
}

SocketResult TCPSocket::SocketReserved3()
{
    return ZymNotSupported;
}

SocketResult TCPSocket::SocketReserved4()
{
    return ZymNotSupported;
}
