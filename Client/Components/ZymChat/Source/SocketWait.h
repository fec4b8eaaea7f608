#ifndef ZYM_SOCKETWAIT_H
#define ZYM_SOCKETWAIT_H

class SocketBase;

// Waits up to nTimeout milliseconds (0 or less only polls) until one of the
// sockets can be read. 0: data can be read from socket *pIndex; 8005: the
// time ran out; 8808: readable but nothing to read yet; 8817: the peer closed
// or the socket failed; 8000: querying the sockets failed.
int WaitForReadable(SocketBase* const* ppSockets, short nCount, int nTimeout, short* pIndex);

#endif
