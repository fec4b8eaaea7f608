#ifndef ZYM_WAKESOCKET_H
#define ZYM_WAKESOCKET_H

#include "SocketPlatform.h"

#include <atomic>

// Lets any thread end a select of the background thread at once: a datagram
// socket on the loopback address, connected to itself, that Signal makes
// readable. Winsock 1.1 has no event to put beside a socket in a select, a
// socket is the one thing it can wait on. At most one datagram is under way
// at a time, however often Signal is called.
class WakeSocket
{
public:
    WakeSocket();
    ~WakeSocket();

    // False when the socket could not be made; Signal then does nothing and
    // waits end only by their time limit.
    bool IsOpen() const { return m_hSocket != 0; }
    SocketHandle GetHandle() const { return m_hSocket; }

    // Any thread: makes the socket readable unless it already is.
    void Signal();
    // The waiting thread, once a select reported the socket readable: takes
    // the datagram, so that the next Signal makes it readable again.
    void Drain();

private:
    WakeSocket(const WakeSocket&) = delete;
    WakeSocket& operator=(const WakeSocket&) = delete;

    bool m_bStarted;
    SocketHandle m_hSocket;
    // Set while a datagram is under way or waiting to be taken.
    std::atomic<bool> m_bPending;
};

#endif
