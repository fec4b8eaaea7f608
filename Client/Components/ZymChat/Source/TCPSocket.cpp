#include "TCPSocket.h"

#include "SocketCalls.h"
#include "SocketResults.h"

TCPSocket::TCPSocket()
{
    m_nNetworkState = StartNetwork(&m_StartupData) == 0 ? 1 : 2;
}

TCPSocket::~TCPSocket()
{
    m_nNetworkState = 0;
}

int TCPSocket::Connect(const SocketAddress& address, int nPort)
{
    if (m_hSocket == 0)
    {
        SocketHandle hSocket = 0;
        if (OpenStreamSocket(&hSocket) != ZymSocketOk)
        {
            m_nNetworkState = 2;
            return ZymSocketCreateFailed;
        }
        m_hSocket = hSocket;
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

    char szDotted[SocketAddress::kDottedBufferSize];
    int nResult = m_Address.GetDottedAddress(szDotted);
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

    m_PeerAddress.sin_family = AF_INET;
    m_PeerAddress.sin_port = htons(static_cast<u_short>(nPort));
    m_PeerAddress.sin_addr.s_addr = nAddress;

    if (ConnectStreamSocket(m_hSocket, m_PeerAddress) != ZymSocketOk)
    {
        m_nConnectionState = 2;
        return ZymConnectFailed;
    }
    m_nConnectionState = 1;
    return ZymSocketOk;
}

int TCPSocket::Disconnect()
{
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
    SocketHandle hSocket = m_hSocket;
    m_hSocket = 0;
    if (hSocket != 0)
        CloseStreamSocket(hSocket);
    return ZymSocketOk;
}

int TCPSocket::Send(const char* pData, int* pLength)
{
    if (m_nNetworkState != 1 || m_nConnectionState != 1)
        return ZymSocketOk;
    int nResult = SendOnSocket(m_hSocket, pData, pLength);
    if (nResult != ZymSocketOk)
        m_nConnectionState = 0;
    return nResult;
}

int TCPSocket::Receive(char* pBuffer, int* pLength)
{
    if (m_nNetworkState != 1 || m_nConnectionState != 1)
        return ZymSocketOk;
    int nResult = ReceiveOnSocket(m_hSocket, pBuffer, pLength);
    if (nResult != ZymSocketOk)
        m_nConnectionState = 0;
    return nResult;
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
