#include "TCPSocket.h"

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
    if (m_hSocket == 0)
    {
        SOCKET hSocket = socket(AF_INET, SOCK_STREAM, 0);
        if (hSocket == INVALID_SOCKET)
        {
            WSAGetLastError();
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

    m_PeerAddress.sin_family = AF_INET;
    m_PeerAddress.sin_port = htons(static_cast<u_short>(nPort));
    m_PeerAddress.sin_addr.s_addr = nAddress;

    if (connect(m_hSocket, reinterpret_cast<sockaddr*>(&m_PeerAddress), sizeof(m_PeerAddress)) ==
        SOCKET_ERROR)
    {
        WSAGetLastError();
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
    int nSent = send(m_hSocket, pData, *pLength, 0);
    if (nSent == SOCKET_ERROR)
    {
        WSAGetLastError();
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
    int nReceived = recv(m_hSocket, pBuffer, *pLength, 0);
    if (nReceived == SOCKET_ERROR)
    {
        int nError = WSAGetLastError();
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
