#include "SocketNotification.h"

void SocketNotification::Signal()
{
    // Counted first: a woken thread must find the signal it was woken for.
    PollingNotification::Signal();
    m_Wake.Signal();
}
