#include "SendWhole.h"

#include "SendAll.h"
#include "SocketBase.h"

SocketResult SendWhole(SocketBase& socket, const char* pData, int nLength, int* pSent)
{
    return SendAll([&socket](const char* pChunk, int* pLength) { return socket.Send(pChunk, pLength); },
                   pData, nLength, pSent);
}
