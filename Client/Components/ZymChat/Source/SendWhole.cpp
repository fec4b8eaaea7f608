#include "SendWhole.h"

#include "SocketBase.h"
#include "SocketResults.h"

int SendWhole(SocketBase& socket, const char* pData, int nLength, int* pSent)
{
    int nDone = 0;
    while (nDone < nLength)
    {
        int nChunk = nLength - nDone;
        int nResult = socket.Send(pData + nDone, &nChunk);
        if (nResult != ZymSocketOk)
        {
            *pSent = nDone;
            return nResult;
        }
        // A blocking send that takes nothing would repeat for ever.
        if (nChunk <= 0)
        {
            *pSent = nDone;
            return ZymSendFailed;
        }
        nDone += nChunk;
    }
    *pSent = nDone;
    return ZymSocketOk;
}
