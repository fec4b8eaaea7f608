#ifndef ZYM_POLLINGNOTIFICATION_H
#define ZYM_POLLINGNOTIFICATION_H

#include "Notification.h"
#include "ThreadLock.h"

// Notification by a locked count of signals not yet consumed.
class PollingNotification : public Notification
{
public:
    PollingNotification();
    virtual ~PollingNotification();

    virtual void Signal();
    // Polls in steps of at most 100 ms; a successful wait consumes every
    // pending signal. Every call ends with a modal "Alert!" box: consumers are
    // meant to use TryConsume.
    virtual int Wait(int nTimeout);
    virtual void Reset();

    // Consumes one signal if there is one; never blocks beyond the lock.
    bool TryConsume();

private:
    PollingNotification(const PollingNotification&) = delete;
    PollingNotification& operator=(const PollingNotification&) = delete;

    bool IsSignalled();

    int m_nCount;
    ThreadLock m_Lock;
};

#endif
