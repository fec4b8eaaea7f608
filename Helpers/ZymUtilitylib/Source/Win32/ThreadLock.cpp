#include "ThreadLock.h"

ThreadLock::ThreadLock() : m_bLocked(false)
{
    InitializeCriticalSection(&m_CriticalSection);
}

ThreadLock::~ThreadLock()
{
    if (m_bLocked)
        LeaveCriticalSection(&m_CriticalSection);
    DeleteCriticalSection(&m_CriticalSection);
}

void ThreadLock::Lock()
{
    EnterCriticalSection(&m_CriticalSection);
    m_bLocked = true;
}

void ThreadLock::Unlock()
{
    if (m_bLocked)
    {
        m_bLocked = false;
        LeaveCriticalSection(&m_CriticalSection);
    }
}
