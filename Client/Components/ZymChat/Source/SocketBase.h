#ifndef ZYM_SOCKETBASE_H
#define ZYM_SOCKETBASE_H

#include "SocketAddress.h"
#include "SocketCalls.h"
#include "SocketResults.h"

// What a stream says of its connection.
enum StreamState
{
    StreamClosed = 0,
    StreamOpen = 1,
    // The last Connect failed; the owner disconnects before connecting again.
    StreamConnectFailed = 2
};

// A blocking IPv4 byte stream to a server, as the chat component uses it.
// Streams come in layers: TCPSocket owns the system's socket, and a layer
// above it (TLS) owns the stream it wraps and reaches it only through this
// interface. Connect, Disconnect, Send and Receive may cut each other short:
// Disconnect from another thread is how a waiting reader is stopped.
class SocketBase
{
public:
    virtual ~SocketBase() {}

    virtual SocketResult Connect(const SocketAddress& address, int nPort) = 0;
    virtual SocketResult Disconnect() = 0;
    // *pLength: bytes to send in, bytes the stream took out. A stream that
    // is not open takes nothing and reports success, leaving *pLength alone.
    virtual SocketResult Send(const char* pData, int* pLength) = 0;
    // *pLength: room in, bytes received out (0 when the peer has closed). A
    // stream that is not open reads nothing and leaves *pLength alone.
    virtual SocketResult Receive(char* pBuffer, int* pLength) = 0;
    virtual StreamState GetConnectionState() const = 0;
    // Bytes the system holds for the stream; ZymNothingToRead when a
    // Receive would block.
    virtual SocketResult BytesAvailable(int* pCount) = 0;
    // True while the stream holds bytes of its own that a Receive would hand
    // out without the system's help: a wait on the handle knows nothing of
    // them (SocketWait.h asks first).
    virtual bool HoldsData() const = 0;
    // The system's socket under every layer, which a wait watches; 0 when
    // there is none.
    virtual SocketHandle GetHandle() const = 0;

protected:
    SocketBase() {}

private:
    SocketBase(const SocketBase&) = delete;
    SocketBase& operator=(const SocketBase&) = delete;
};

#endif
