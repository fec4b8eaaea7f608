#include "SocketCalls.h"

#include <errno.h>
#include <netdb.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <vector>

#include "DescriptorUse.h"
#include "SocketResults.h"

namespace
{
    // Descriptor 0 is what the layer takes for no socket: a new socket that
    // got it is moved to another number.
    int OffZero(int hSocket)
    {
        if (hSocket != 0)
            return hSocket;
        int hMoved = dup(hSocket);
        close(hSocket);
        return hMoved;
    }
}

// The BSD form uses the thread-safe name calls (getaddrinfo, inet_ntop): the
// chat threads of several components may resolve at the same time.

SocketResult ResolveHostName(const char* pszName, unsigned long* pAddress)
{
    if (pszName == nullptr || pAddress == nullptr)
        return ZymNullArgument;
    addrinfo hints;
    std::memset(&hints, 0, sizeof(hints));
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* pList = nullptr;
    if (getaddrinfo(pszName, nullptr, &hints, &pList) != 0 || pList == nullptr)
        return ZymSocketQueryFailed;
    const sockaddr_in* pFirst = reinterpret_cast<const sockaddr_in*>(pList->ai_addr);
    *pAddress = pFirst->sin_addr.s_addr;
    freeaddrinfo(pList);
    return ZymSocketOk;
}

SocketResult AddressToText(unsigned long nAddress, char* pszText)
{
    if (pszText == nullptr)
        return ZymNullArgument;
    in_addr address;
    address.s_addr = static_cast<in_addr_t>(nAddress);
    if (inet_ntop(AF_INET, &address, pszText, kDottedTextSize) == nullptr)
        return ZymSocketQueryFailed;
    return ZymSocketOk;
}

SocketResult TextToAddress(const char* pszText, unsigned long* pAddress)
{
    if (pszText == nullptr || pAddress == nullptr)
        return ZymNullArgument;
    in_addr_t nAddress = inet_addr(pszText);
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
    pData->nUnused = 0;
    return 0;
}

SocketResult OpenStreamSocket(SocketHandle* pHandle)
{
    int hSocket = OffZero(socket(AF_INET, SOCK_STREAM, 0));
    if (hSocket < 0)
        return ZymSocketCreateFailed;
    DescriptorUse::Register(hSocket);
    *pHandle = hSocket;
    return ZymSocketOk;
}

SocketResult ConnectStreamSocket(SocketHandle hSocket, const sockaddr_in& peer)
{
    DescriptorHold use(hSocket);
    if (!use.Held() || connect(hSocket, reinterpret_cast<const sockaddr*>(&peer), sizeof(peer)) != 0)
        return ZymConnectFailed;
    return ZymSocketOk;
}

SocketResult SendOnSocket(SocketHandle hSocket, const char* pData, int* pLength)
{
    DescriptorHold use(hSocket);
    if (!use.Held())
        return ZymSendFailed;
    // A peer that has gone must fail the send, not end the process.
    ssize_t nSent = send(hSocket, pData, static_cast<size_t>(*pLength), MSG_NOSIGNAL);
    if (nSent < 0)
        return ZymSendFailed;
    *pLength = static_cast<int>(nSent);
    return ZymSocketOk;
}

SocketResult ReceiveOnSocket(SocketHandle hSocket, char* pBuffer, int* pLength)
{
    DescriptorHold use(hSocket);
    if (!use.Held())
        return ZymReceiveFailed;
    ssize_t nReceived = recv(hSocket, pBuffer, static_cast<size_t>(*pLength), 0);
    if (nReceived < 0)
        return errno == ECONNABORTED ? ZymConnectionAborted : ZymReceiveFailed;
    *pLength = static_cast<int>(nReceived);
    return ZymSocketOk;
}

SocketResult PendingBytes(SocketHandle hSocket, int* pCount)
{
    DescriptorHold use(hSocket);
    if (!use.Held())
        return ZymSocketQueryFailed;
    int nAvailable = 0;
    if (ioctl(hSocket, FIONREAD, &nAvailable) != 0)
        return ZymSocketQueryFailed;
    *pCount = nAvailable;
    return ZymSocketOk;
}

bool PeerHasClosed(SocketHandle hSocket)
{
    DescriptorHold use(hSocket);
    if (!use.Held())
        return true;
    char cProbe;
    ssize_t nProbe = recv(hSocket, &cProbe, 1, MSG_PEEK | MSG_DONTWAIT);
    if (nProbe < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return false;
    return nProbe <= 0;
}

void CloseStreamSocket(SocketHandle hSocket)
{
    DescriptorUse::Close(hSocket);
}

SocketResult WaitForReadableHandles(const SocketHandle* pHandles, short nCount, int nTimeout,
                           short* pFirst)
{
    // poll rather than select: a descriptor above the fd_set size is no
    // fault here. A descriptor closed (or 0, no socket) fails the wait, as
    // select fails on a closed Windows socket.
    std::vector<pollfd> watched;
    std::vector<std::unique_ptr<DescriptorHold> > uses;
    for (short i = 0; i < nCount; ++i)
    {
        uses.emplace_back(new DescriptorHold(pHandles[i]));
        if (!uses.back()->Held())
            return ZymSocketQueryFailed;
        pollfd entry;
        entry.fd = pHandles[i];
        entry.events = POLLIN;
        entry.revents = 0;
        watched.push_back(entry);
    }
    int nReady = poll(watched.data(), watched.size(), nTimeout > 0 ? nTimeout : 0);
    if (nReady == 0)
        return ZymFnctnTimedOutErr;
    if (nReady < 0)
        return ZymSocketQueryFailed;
    *pFirst = -1;
    for (short i = 0; i < nCount && *pFirst < 0; ++i)
    {
        if ((watched[i].revents & POLLNVAL) != 0)
            return ZymSocketQueryFailed;
        if ((watched[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0)
            *pFirst = i;
    }
    return ZymSocketOk;
}

SocketResult WaitForWritableHandle(SocketHandle hSocket, int nTimeout)
{
    DescriptorHold use(hSocket);
    if (!use.Held())
        return ZymSocketQueryFailed;
    pollfd entry;
    entry.fd = hSocket;
    entry.events = POLLOUT;
    entry.revents = 0;
    int nReady = poll(&entry, 1, nTimeout > 0 ? nTimeout : 0);
    if (nReady == 0)
        return ZymFnctnTimedOutErr;
    if (nReady < 0 || (entry.revents & (POLLNVAL | POLLERR)) != 0)
        return ZymSocketQueryFailed;
    return ZymSocketOk;
}

void StopNetwork()
{
}

SocketResult OpenWakeSocket(SocketHandle* pHandle)
{
    int hSocket = OffZero(socket(AF_INET, SOCK_DGRAM, 0));
    if (hSocket < 0)
        return ZymSocketCreateFailed;
    sockaddr_in self;
    std::memset(&self, 0, sizeof(self));
    self.sin_family = AF_INET;
    self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    self.sin_port = 0;
    socklen_t nLength = sizeof(self);
    if (bind(hSocket, reinterpret_cast<sockaddr*>(&self), sizeof(self)) != 0 ||
        getsockname(hSocket, reinterpret_cast<sockaddr*>(&self), &nLength) != 0 ||
        connect(hSocket, reinterpret_cast<sockaddr*>(&self), sizeof(self)) != 0)
    {
        close(hSocket);
        return ZymSocketCreateFailed;
    }
    DescriptorUse::Register(hSocket);
    *pHandle = hSocket;
    return ZymSocketOk;
}

bool SendWakeByte(SocketHandle hSocket)
{
    DescriptorHold use(hSocket);
    char cByte = 0;
    return use.Held() && send(hSocket, &cByte, 1, MSG_NOSIGNAL) == 1;
}

void DrainWakeSocket(SocketHandle hSocket)
{
    DescriptorHold use(hSocket);
    char buffer[16];
    if (use.Held())
        recv(hSocket, buffer, sizeof(buffer), MSG_DONTWAIT);
}

void CloseWakeSocket(SocketHandle hSocket)
{
    DescriptorUse::Close(hSocket);
}
