#ifndef ZYM_TESTS_PROBETHREAD_H
#define ZYM_TESTS_PROBETHREAD_H

#include "BaseThread.h"

#include <atomic>
#include <thread>

// Counts its runs and notes the thread of the last one; with bWaitForSignal
// each run waits for Signal first.
class ProbeThread : public BaseThread
{
public:
    ProbeThread(int nMaxStarts, bool bWaitForSignal)
        : BaseThread(nMaxStarts), m_bWaitForSignal(bWaitForSignal), m_nRuns(0)
    {
    }

    ~ProbeThread() override
    {
        Signal();
        WaitForExit(5000);
    }

    ZymThreadHandle ThreadHandle() const { return m_hThread; }
    unsigned int ThreadId() const { return m_nThreadId; }
    int Runs() const { return m_nRuns; }
    std::thread::id RunThread() const { return m_RunThread; }

protected:
    void Run() override
    {
        if (m_bWaitForSignal)
            WaitForSignal(-1);
        m_RunThread = std::this_thread::get_id();
        ++m_nRuns;
    }

private:
    bool m_bWaitForSignal;
    std::atomic<int> m_nRuns;
    std::atomic<std::thread::id> m_RunThread;
};

#endif
