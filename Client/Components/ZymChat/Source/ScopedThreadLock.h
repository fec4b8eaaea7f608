#ifndef ZYM_SCOPEDTHREADLOCK_H
#define ZYM_SCOPEDTHREADLOCK_H

#include "ThreadLock.h"

// Holds a ThreadLock for one scope, so every exit path, exceptions included,
// releases it.
class ScopedThreadLock
{
public:
    explicit ScopedThreadLock(ThreadLock& lock) : m_Lock(lock) { m_Lock.Lock(); }
    ~ScopedThreadLock() { m_Lock.Unlock(); }

private:
    ScopedThreadLock(const ScopedThreadLock&) = delete;
    ScopedThreadLock& operator=(const ScopedThreadLock&) = delete;

    ThreadLock& m_Lock;
};

#endif
