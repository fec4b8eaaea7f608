#include "SocketWait.h"

#include <vector>

#include "SocketBase.h"
#include "SocketCalls.h"
#include "SocketResults.h"

int WaitForReadable(SocketBase* const* ppSockets, short nCount, int nTimeout, short* pIndex)
{
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

    short nFirst = -1;
    int nResult = WaitForReadableHandles(handles.data(), nCount, nTimeout, &nFirst);
    if (nResult != ZymSocketOk || nFirst < 0)
        return nResult;
    if (pIndex != nullptr)
        *pIndex = nFirst;
    int nAvailable = 0;
    nResult = ppSockets[nFirst]->BytesAvailable(&nAvailable);
    // Readable with nothing to read is how an orderly close shows.
    if (nResult == ZymNothingToRead && PeerHasClosed(handles[nFirst]))
        nResult = ZymPeerClosed;
    return nResult;
}
