#ifndef ZYM_SOCKETNOTIFICATION_H
#define ZYM_SOCKETNOTIFICATION_H

#include "PollingNotification.h"
#include "WakeSocket.h"

// The command notification of the chat component: a counting notification
// whose every signal also wakes a socket wait that includes Wake(), so a line
// queued while the background thread waits on the network leaves at once
// instead of at the end of the wait.
class SocketNotification : public PollingNotification
{
public:
    SocketNotification() {}
    virtual ~SocketNotification() {}

    virtual void Signal();

    WakeSocket& Wake() { return m_Wake; }

private:
    SocketNotification(const SocketNotification&) = delete;
    SocketNotification& operator=(const SocketNotification&) = delete;

    WakeSocket m_Wake;
};

#endif
