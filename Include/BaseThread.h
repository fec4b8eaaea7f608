#ifndef ZYM_BASETHREAD_H
#define ZYM_BASETHREAD_H

#include "ThreadLock.h"

// An object that owns one worker thread running its Run, an auto-reset event
// and a lock for the derived class's cross-thread state.
//
// Result codes of Start, WaitForSignal and WaitForExit: 0 success, 1 thread
// creation failed, 3 the wait timed out, 4 the start limit has been reached.
class BaseThread
{
public:
    // A limit that the count of starts never reaches (-1) allows any number.
    explicit BaseThread(int nMaxStarts);
    // Neither stops nor waits for the thread: a derived class that owns a
    // running thread ends it and calls WaitForExit before it is destroyed.
    virtual ~BaseThread();

    virtual int Start();
    // nTimeout in milliseconds, -1 without limit.
    virtual int WaitForSignal(int nTimeout);
    virtual int Signal();

    int WaitForExit(int nTimeout);
    void Lock();
    void Unlock();

protected:
    virtual void Run() = 0;

    unsigned int m_nThreadId;
    int m_nMaxStarts;
    int m_nStarts;
    ThreadLock m_Lock;
    ZymEventHandle m_hEvent;
    ZymThreadHandle m_hThread;

private:
    BaseThread(const BaseThread&) = delete;
    BaseThread& operator=(const BaseThread&) = delete;

    static unsigned int ZYM_THREAD_CALL ThreadEntry(void* pThis);
};

#endif
