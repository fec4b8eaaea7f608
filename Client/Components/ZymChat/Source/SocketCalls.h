#ifndef ZYM_SOCKETCALLS_H
#define ZYM_SOCKETCALLS_H

#include "SocketPlatform.h"
#include "SocketResults.h"

// The bottom of the socket layer: the system's socket and name calls, in a
// Windows Sockets form and a BSD form, each returning a result code of
// SocketResults.h. A handle of 0 stands for no socket.

// Room for the longest dotted text an address is written as, terminator
// included.
const int kDottedTextSize = 20;

// The first IPv4 address (network order) of a host name.
SocketResult ResolveHostName(const char* pszName, unsigned long* pAddress);
// The dotted text of an address; pszText holds kDottedTextSize characters.
SocketResult AddressToText(unsigned long nAddress, char* pszText);
// The address of a dotted text; the all-ones broadcast address is refused.
SocketResult TextToAddress(const char* pszText, unsigned long* pAddress);

// Starts the network (Windows Sockets 1.1); 0 on success.
int StartNetwork(NetworkStartupData* pData);
// A new blocking IPv4 stream socket; 8801 when none can be made.
SocketResult OpenStreamSocket(SocketHandle* pHandle);
// A blocking connect; 8810 on failure.
SocketResult ConnectStreamSocket(SocketHandle hSocket, const sockaddr_in& peer);
// One send of *pLength bytes; *pLength receives the count taken. 8811.
SocketResult SendOnSocket(SocketHandle hSocket, const char* pData, int* pLength);
// One receive of at most *pLength bytes; *pLength receives the count (0 when
// the peer closed). 8809 when the connection was aborted, else 8812.
SocketResult ReceiveOnSocket(SocketHandle hSocket, char* pBuffer, int* pLength);
// The count of bytes readable without blocking; 8000 when the query fails.
SocketResult PendingBytes(SocketHandle hSocket, int* pCount);
// Whether a readable socket with nothing to read was closed by its peer or
// failed: a peek that leaves any bytes that arrive for the reader.
bool PeerHasClosed(SocketHandle hSocket);
// Shuts the socket down for receiving and closes it; failures are ignored.
void CloseStreamSocket(SocketHandle hSocket);
// Waits up to nTimeout milliseconds (0 or less only polls) until one of the
// handles can be read. 0 with *pFirst the position of the first readable
// one; 8005 when the time ran out; 8000 when the wait failed.
SocketResult WaitForReadableHandles(const SocketHandle* pHandles, short nCount, int nTimeout,
                           short* pFirst);

// Waits up to nTimeout milliseconds (0 or less only polls) until a send on
// the handle would not block: 0 when it would not; 8005 when the time ran
// out; 8000 when the wait failed.
SocketResult WaitForWritableHandle(SocketHandle hSocket, int nTimeout);

// Ends the network use StartNetwork began (Windows Sockets keeps a count).
void StopNetwork();
// A datagram socket on the loopback address, connected to itself, so that
// only this process can make it readable; 8801 when it cannot be made.
SocketResult OpenWakeSocket(SocketHandle* pHandle);
// Sends one byte to the wake socket; false when it could not be sent.
bool SendWakeByte(SocketHandle hSocket);
// Takes what the wake socket holds without blocking.
void DrainWakeSocket(SocketHandle hSocket);
// Closes a wake socket.
void CloseWakeSocket(SocketHandle hSocket);

#endif
