#include "ThreadLock.h"

ThreadLock::ThreadLock() : m_bLocked(false)
{
}

ThreadLock::~ThreadLock()
{
    // A mutex must not be destroyed while held.
    if (m_bLocked)
        m_CriticalSection.unlock();
}

void ThreadLock::Lock()
{
    m_CriticalSection.lock();
    m_bLocked = true;
}

void ThreadLock::Unlock()
{
    if (m_bLocked)
    {
        m_bLocked = false;
        m_CriticalSection.unlock();
    }
}
