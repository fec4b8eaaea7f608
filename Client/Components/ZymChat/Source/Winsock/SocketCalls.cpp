#include "SocketCalls.h"

#include <cstring>

#include "SocketResults.h"

SocketResult ResolveHostName(const char* pszName, unsigned long* pAddress)
{
    if (pszName == nullptr || pAddress == nullptr)
        return ZymNullArgument;
    hostent* pEntry = gethostbyname(pszName);
    if (pEntry == nullptr || pEntry->h_addr_list == nullptr || pEntry->h_addr_list[0] == nullptr)
    {
        WSAGetLastError();
        return ZymSocketQueryFailed;
    }
    std::memcpy(pAddress, pEntry->h_addr_list[0], sizeof(*pAddress));
    return ZymSocketOk;
}

SocketResult AddressToText(unsigned long nAddress, char* pszText)
{
    if (pszText == nullptr)
        return ZymNullArgument;
    in_addr address;
    address.s_addr = nAddress;
    const char* pszDotted = inet_ntoa(address);
    if (pszDotted == nullptr)
        return ZymSocketQueryFailed;
    std::strncpy(pszText, pszDotted, kDottedTextSize - 1);
    pszText[kDottedTextSize - 1] = '\0';
    return ZymSocketOk;
}

SocketResult TextToAddress(const char* pszText, unsigned long* pAddress)
{
    if (pszText == nullptr || pAddress == nullptr)
        return ZymNullArgument;
    unsigned long nAddress = inet_addr(pszText);
    if (nAddress == INADDR_NONE)
    {
        *pAddress = 0;
        return ZymSocketQueryFailed;
    }
    *pAddress = nAddress;
    return ZymSocketOk;
}

int StartNetwork(NetworkStartupData* pData)
{
    return WSAStartup(0x0101, pData);
}

SocketResult OpenStreamSocket(SocketHandle* pHandle)
{
    SOCKET hSocket = socket(AF_INET, SOCK_STREAM, 0);
    if (hSocket == INVALID_SOCKET)
    {
        WSAGetLastError();
        return ZymSocketCreateFailed;
    }
    *pHandle = hSocket;
    return ZymSocketOk;
}

SocketResult ConnectStreamSocket(SocketHandle hSocket, const sockaddr_in& peer)
{
    if (connect(hSocket, reinterpret_cast<const sockaddr*>(&peer), sizeof(peer)) == SOCKET_ERROR)
    {
        WSAGetLastError();
        return ZymConnectFailed;
    }
    return ZymSocketOk;
}

SocketResult SendOnSocket(SocketHandle hSocket, const char* pData, int* pLength)
{
    int nSent = send(hSocket, pData, *pLength, 0);
    if (nSent == SOCKET_ERROR)
    {
        WSAGetLastError();
        return ZymSendFailed;
    }
    *pLength = nSent;
    return ZymSocketOk;
}

SocketResult ReceiveOnSocket(SocketHandle hSocket, char* pBuffer, int* pLength)
{
    int nReceived = recv(hSocket, pBuffer, *pLength, 0);
    if (nReceived == SOCKET_ERROR)
        return WSAGetLastError() == WSAECONNABORTED ? ZymConnectionAborted : ZymReceiveFailed;
    *pLength = nReceived;
    return ZymSocketOk;
}

SocketResult PendingBytes(SocketHandle hSocket, int* pCount)
{
    u_long nAvailable = 0;
    if (ioctlsocket(hSocket, FIONREAD, &nAvailable) != 0)
    {
        WSAGetLastError();
        return ZymSocketQueryFailed;
    }
    *pCount = static_cast<int>(nAvailable);
    return ZymSocketOk;
}

bool PeerHasClosed(SocketHandle hSocket)
{
    char cProbe;
    int nProbe = recv(hSocket, &cProbe, 1, MSG_PEEK);
    return nProbe == 0 || nProbe == SOCKET_ERROR;
}

void CloseStreamSocket(SocketHandle hSocket)
{
    shutdown(hSocket, 0);
    closesocket(hSocket);
}

SocketResult WaitForReadableHandles(const SocketHandle* pHandles, short nCount, int nTimeout,
                           short* pFirst)
{
    timeval limit;
    limit.tv_sec = nTimeout > 0 ? nTimeout / 1000 : 0;
    limit.tv_usec = nTimeout > 0 ? (nTimeout % 1000) * 1000 : 0;

    fd_set readSet;
    FD_ZERO(&readSet);
    for (short i = 0; i < nCount; ++i)
        FD_SET(pHandles[i], &readSet);

    int nReady = select(0, &readSet, nullptr, nullptr, &limit);
    if (nReady == 0)
        return ZymFnctnTimedOutErr;
    // After a failed select the set says nothing; a socket closed by another
    // thread lands here.
    if (nReady == SOCKET_ERROR)
    {
        WSAGetLastError();
        return ZymSocketQueryFailed;
    }
    *pFirst = -1;
    for (short i = 0; i < nCount && *pFirst < 0; ++i)
    {
        if (FD_ISSET(pHandles[i], &readSet))
            *pFirst = i;
    }
    return ZymSocketOk;
}

SocketResult WaitForWritableHandle(SocketHandle hSocket, int nTimeout)
{
    timeval limit;
    limit.tv_sec = nTimeout > 0 ? nTimeout / 1000 : 0;
    limit.tv_usec = nTimeout > 0 ? (nTimeout % 1000) * 1000 : 0;
    fd_set writeSet;
    FD_ZERO(&writeSet);
    FD_SET(hSocket, &writeSet);
    int nReady = select(0, nullptr, &writeSet, nullptr, &limit);
    if (nReady == 0)
        return ZymFnctnTimedOutErr;
    if (nReady == SOCKET_ERROR)
    {
        WSAGetLastError();
        return ZymSocketQueryFailed;
    }
    return ZymSocketOk;
}

void StopNetwork()
{
    WSACleanup();
}

SocketResult OpenWakeSocket(SocketHandle* pHandle)
{
    SOCKET hSocket = socket(AF_INET, SOCK_DGRAM, 0);
    if (hSocket == INVALID_SOCKET)
    {
        WSAGetLastError();
        return ZymSocketCreateFailed;
    }
    sockaddr_in self;
    std::memset(&self, 0, sizeof(self));
    self.sin_family = AF_INET;
    self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    self.sin_port = 0;
    int nLength = sizeof(self);
    if (bind(hSocket, reinterpret_cast<sockaddr*>(&self), sizeof(self)) == SOCKET_ERROR ||
        getsockname(hSocket, reinterpret_cast<sockaddr*>(&self), &nLength) == SOCKET_ERROR ||
        connect(hSocket, reinterpret_cast<sockaddr*>(&self), sizeof(self)) == SOCKET_ERROR)
    {
        WSAGetLastError();
        closesocket(hSocket);
        return ZymSocketCreateFailed;
    }
    *pHandle = hSocket;
    return ZymSocketOk;
}

bool SendWakeByte(SocketHandle hSocket)
{
    char cByte = 0;
    return send(hSocket, &cByte, 1, 0) == 1;
}

void DrainWakeSocket(SocketHandle hSocket)
{
    // Called once a wait saw the socket readable, so this does not block.
    char buffer[16];
    recv(hSocket, buffer, sizeof(buffer), 0);
}

void CloseWakeSocket(SocketHandle hSocket)
{
    closesocket(hSocket);
}
