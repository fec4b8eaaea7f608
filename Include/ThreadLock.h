#ifndef ZYM_THREADLOCK_H
#define ZYM_THREADLOCK_H

#include "ThreadTypes.h"

// A critical section (a mutex off Windows) with a held flag. The flag counts
// one level only, so a thread must not lock a ThreadLock it already holds.
class ThreadLock
{
public:
    ThreadLock();
    virtual ~ThreadLock();

    void Lock();
    // Does nothing unless the lock is held.
    void Unlock();

private:
    ThreadLock(const ThreadLock&) = delete;
    ThreadLock& operator=(const ThreadLock&) = delete;

    ZymLockPrimitive m_CriticalSection;
    bool m_bLocked;
};

#endif
