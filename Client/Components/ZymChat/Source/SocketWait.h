#ifndef ZYM_SOCKETWAIT_H
#define ZYM_SOCKETWAIT_H

#include "SocketResults.h"

class SocketBase;
class WakeSocket;

// The one wait of the socket layer: every layer and the component wait on a
// stream through these, never on a handle of their own.

// Waits up to nTimeout milliseconds (0 or less only polls) until one of the
// sockets can be read. 0: data can be read from socket *pIndex; 8005: the
// time ran out; 8808: readable but nothing to read yet; 8817: the peer closed
// or the socket failed; 8000: querying the sockets failed.
SocketResult WaitForReadable(SocketBase* const* ppSockets, short nCount, int nTimeout,
                             short* pIndex);

// WaitForReadable that also ends as soon as pWake (may be null) is signalled;
// *pWoken then says so, and the caller drains pWake. A wake with nothing to
// read from the sockets gives 8005. A socket that holds bytes of its own
// ends the wait at once with 0, since a select cannot see them.
SocketResult WaitForReadableOrWake(SocketBase* const* ppSockets, short nCount, WakeSocket* pWake,
                                   int nTimeout, short* pIndex, bool* pWoken);

// Waits up to nTimeout milliseconds until a send on the socket would not
// block: 0 then; 8005 when the time ran out; 8000 when the socket is closed
// or the wait failed.
SocketResult WaitForWritable(const SocketBase& socket, int nTimeout);

#endif
