#ifndef ZYM_SENDWHOLE_H
#define ZYM_SENDWHOLE_H

#include "SocketResults.h"

class SocketBase;

// Sends all nLength bytes, calling Send again for the rest whenever the
// system takes fewer. *pSent receives the bytes taken in all. Returns the
// first failing result code of Send, or 8811 when Send takes nothing.
SocketResult SendWhole(SocketBase& socket, const char* pData, int nLength, int* pSent);

#endif
