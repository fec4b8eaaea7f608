#ifndef ZYM_SENDALL_H
#define ZYM_SENDALL_H

#include "SocketResults.h"

// Sends all nLength bytes through send(pData, &nChunk), which takes what it
// can and says how much; calls it again for the rest. *pSent receives the
// bytes taken in all. Returns the first failing result code, or 8811 when a
// call takes nothing (a blocking send that takes nothing would repeat for
// ever).
template <class SendOnce>
SocketResult SendAll(SendOnce send, const char* pData, int nLength, int* pSent)
{
    int nDone = 0;
    while (nDone < nLength)
    {
        int nChunk = nLength - nDone;
        SocketResult nResult = send(pData + nDone, &nChunk);
        if (nResult != ZymSocketOk)
        {
            *pSent = nDone;
            return nResult;
        }
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

#endif
