#include "SocketWait.h"

#include <vector>

#include "SocketBase.h"
#include "SocketCalls.h"
#include "SocketResults.h"
#include "WakeSocket.h"

SocketResult WaitForReadable(SocketBase* const* ppSockets, short nCount, int nTimeout,
                             short* pIndex)
{
    return WaitForReadableOrWake(ppSockets, nCount, nullptr, nTimeout, pIndex, nullptr);
}

SocketResult WaitForReadableOrWake(SocketBase* const* ppSockets, short nCount, WakeSocket* pWake,
                                   int nTimeout, short* pIndex, bool* pWoken)
{
    if (pWoken != nullptr)
        *pWoken = false;
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

    std::vector<SocketHandle> handles;
    for (short i = 0; i < nCount; ++i)
        handles.push_back(ppSockets[i]->GetHandle());
    // The wake socket goes last, so that the first readable handle is a
    // connection's whenever one is.
    bool bWatchWake = pWake != nullptr && pWake->IsOpen();
    if (bWatchWake)
        handles.push_back(pWake->GetHandle());

    short nFirst = -1;
    SocketResult nResult = WaitForReadableHandles(handles.data(), static_cast<short>(handles.size()),
                                         nTimeout, &nFirst);
    if (nResult != ZymSocketOk || nFirst < 0)
        return nResult;
    if (bWatchWake)
    {
        bool bWoken = nFirst == nCount;
        if (!bWoken)
        {
            SocketHandle hWake = pWake->GetHandle();
            short nWake = -1;
            bWoken = WaitForReadableHandles(&hWake, 1, 0, &nWake) == ZymSocketOk && nWake == 0;
        }
        if (pWoken != nullptr)
            *pWoken = bWoken;
        if (nFirst == nCount)
            return ZymFnctnTimedOutErr;
    }
    if (pIndex != nullptr)
        *pIndex = nFirst;
    int nAvailable = 0;
    nResult = ppSockets[nFirst]->BytesAvailable(&nAvailable);
    // Readable with nothing to read is how an orderly close shows.
    if (nResult == ZymNothingToRead && PeerHasClosed(handles[nFirst]))
        nResult = ZymPeerClosed;
    return nResult;
}

SocketResult WaitForWritable(const SocketBase& socket, int nTimeout)
{
    SocketHandle hSocket = socket.GetHandle();
    if (hSocket == 0)
        return ZymSocketQueryFailed;
    return WaitForWritableHandle(hSocket, nTimeout);
}
