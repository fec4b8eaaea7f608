#include "BaseThread.h"

#include <process.h>

#include <cstdint>

BaseThread::BaseThread(int nMaxStarts)
    : m_nThreadId(0),
      m_nMaxStarts(nMaxStarts),
      m_nStarts(0),
      m_hEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      m_hThread(nullptr)
{
}

BaseThread::~BaseThread()
{
    if (m_hEvent != nullptr)
        CloseHandle(m_hEvent);
    if (m_hThread != nullptr)
        CloseHandle(m_hThread);
}

int BaseThread::Start()
{
    if (m_nStarts == m_nMaxStarts)
        return 4;
    ++m_nStarts;

    uintptr_t hNew = _beginthreadex(nullptr, 0, &BaseThread::ThreadEntry, this, 0, &m_nThreadId);
    if (hNew == 0)
        return 1;

    // The object keeps one handle, the one of the last thread started: an
    // earlier thread's handle would otherwise leak on every restart. After a
    // failed creation the earlier handle stays, so WaitForExit still refers
    // to the last thread that ran.
    if (m_hThread != nullptr)
        CloseHandle(m_hThread);
    m_hThread = reinterpret_cast<HANDLE>(hNew);
    return 0;
}

int BaseThread::WaitForSignal(int nTimeout)
{
    DWORD nWait = nTimeout < 0 ? INFINITE : static_cast<DWORD>(nTimeout);
    return WaitForSingleObject(m_hEvent, nWait) == WAIT_TIMEOUT ? 3 : 0;
}

int BaseThread::Signal()
{
    SetEvent(m_hEvent);
    return 0;
}

int BaseThread::WaitForExit(int nTimeout)
{
    // Never started: there is nothing to wait for.
    if (m_hThread == nullptr)
        return 0;
    DWORD nWait = nTimeout < 0 ? INFINITE : static_cast<DWORD>(nTimeout);
    return WaitForSingleObject(m_hThread, nWait) == WAIT_TIMEOUT ? 3 : 0;
}

void BaseThread::Lock()
{
    m_Lock.Lock();
}

void BaseThread::Unlock()
{
    m_Lock.Unlock();
}

unsigned int __stdcall BaseThread::ThreadEntry(void* pThis)
{
    static_cast<BaseThread*>(pThis)->Run();
    return 0;
}
