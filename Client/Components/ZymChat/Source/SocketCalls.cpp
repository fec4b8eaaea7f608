#include "SocketCalls.h"

#include <cstring>
#include <winsock.h>

#include "SocketAddress.h"
#include "SocketBase.h"
#include "SocketResults.h"
#include "WakeSocket.h"

int ResolveHostName(const char* pszName, unsigned long* pAddress)
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

int AddressToText(unsigned long nAddress, char* pszText)
{
    if (pszText == nullptr)
        return ZymNullArgument;
    in_addr address;
    address.s_addr = nAddress;
    const char* pszDotted = inet_ntoa(address);
    if (pszDotted == nullptr)
        return ZymSocketQueryFailed;
    std::strncpy(pszText, pszDotted, SocketAddress::kDottedBufferSize - 1);
    pszText[SocketAddress::kDottedBufferSize - 1] = '\0';
    return ZymSocketOk;
}

int TextToAddress(const char* pszText, unsigned long* pAddress)
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

int WaitForReadable(SocketBase* const* ppSockets, short nCount, int nTimeout, short* pIndex)
{
    return WaitForReadableOrWake(ppSockets, nCount, nullptr, nTimeout, pIndex, nullptr);
}

int WaitForReadableOrWake(SocketBase* const* ppSockets, short nCount, WakeSocket* pWake,
                          int nTimeout, short* pIndex, bool* pWoken)
{
    if (pWoken != nullptr)
        *pWoken = false;
    timeval limit;
    limit.tv_sec = nTimeout > 0 ? nTimeout / 1000 : 0;
    limit.tv_usec = nTimeout > 0 ? (nTimeout % 1000) * 1000 : 0;

    // Bytes a socket already holds are read before anything new: waiting on
    // the handle meanwhile could wait for data that has long arrived.
    for (short i = 0; i < nCount; ++i)
    {
        if (ppSockets[i]->HoldsData())
        {
            if (pIndex != nullptr)
                *pIndex = i;
            return ZymSocketOk;
        }
    }

    fd_set readSet;
    FD_ZERO(&readSet);
    for (short i = 0; i < nCount; ++i)
        FD_SET(ppSockets[i]->GetHandle(), &readSet);
    bool bWatchWake = pWake != nullptr && pWake->IsOpen();
    if (bWatchWake)
        FD_SET(pWake->GetHandle(), &readSet);

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
    bool bWoken = bWatchWake && FD_ISSET(pWake->GetHandle(), &readSet);
    if (pWoken != nullptr)
        *pWoken = bWoken;
    for (short i = 0; i < nCount; ++i)
    {
        SOCKET hSocket = ppSockets[i]->GetHandle();
        if (!FD_ISSET(hSocket, &readSet))
            continue;
        if (pIndex != nullptr)
            *pIndex = i;
        int nAvailable = 0;
        int nResult = ppSockets[i]->BytesAvailable(&nAvailable);
        if (nResult == ZymNothingToRead)
        {
            // Readable with nothing to read is how an orderly close shows.
            // The probe only peeks, so bytes that arrive meanwhile stay for
            // the reader.
            char cProbe;
            int nProbe = recv(hSocket, &cProbe, 1, MSG_PEEK);
            if (nProbe == 0 || nProbe == SOCKET_ERROR)
                nResult = ZymPeerClosed;
        }
        return nResult;
    }
    return bWoken ? ZymFnctnTimedOutErr : ZymSocketOk;
}
