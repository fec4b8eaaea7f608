#include "BaseThread.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <thread>

struct StdAutoResetEvent
{
    std::mutex mutex;
    std::condition_variable changed;
    bool bSet = false;
};

namespace
{
    // Shared by the object and its thread, so the thread may finish after
    // the object let go of it, as a Windows thread outlives its handle.
    struct ExitState
    {
        std::mutex mutex;
        std::condition_variable ended;
        bool bEnded = false;
    };
}

struct StdThreadRecord
{
    std::thread thread;
    std::shared_ptr<ExitState> exit;
};

namespace
{
    // What closing a handle is on Windows: a thread that has ended is
    // joined, one still running goes on by itself.
    void ReleaseRecord(StdThreadRecord* pRecord)
    {
        if (pRecord == nullptr)
            return;
        bool bEnded;
        {
            std::lock_guard<std::mutex> hold(pRecord->exit->mutex);
            bEnded = pRecord->exit->bEnded;
        }
        if (bEnded && pRecord->thread.get_id() != std::this_thread::get_id())
            pRecord->thread.join();
        else
            pRecord->thread.detach();
        delete pRecord;
    }

    // Waits with a limit in milliseconds (-1 without one) until the
    // predicate holds; false when the time ran out.
    template <class Predicate>
    bool WaitUntil(std::condition_variable& changed, std::unique_lock<std::mutex>& hold,
                   int nTimeout, Predicate done)
    {
        if (nTimeout < 0)
        {
            changed.wait(hold, done);
            return true;
        }
        return changed.wait_for(hold, std::chrono::milliseconds(nTimeout), done);
    }
}

BaseThread::BaseThread(int nMaxStarts)
    : m_nThreadId(0),
      m_nMaxStarts(nMaxStarts),
      m_nStarts(0),
      m_hEvent(new StdAutoResetEvent),
      m_hThread(nullptr)
{
}

BaseThread::~BaseThread()
{
    delete m_hEvent;
    ReleaseRecord(m_hThread);
}

int BaseThread::Start()
{
    if (m_nStarts == m_nMaxStarts)
        return 4;
    ++m_nStarts;

    StdThreadRecord* pRecord = nullptr;
    try
    {
        pRecord = new StdThreadRecord;
        pRecord->exit = std::make_shared<ExitState>();
        std::shared_ptr<ExitState> exit = pRecord->exit;
        pRecord->thread = std::thread([this, exit] {
            ThreadEntry(this);
            std::lock_guard<std::mutex> hold(exit->mutex);
            exit->bEnded = true;
            exit->ended.notify_all();
        });
    }
    catch (...)
    {
        delete pRecord;
        return 1;
    }
    m_nThreadId = static_cast<unsigned int>(std::hash<std::thread::id>()(pRecord->thread.get_id()));

    // As on Windows, the object keeps the record of the last thread started.
    ReleaseRecord(m_hThread);
    m_hThread = pRecord;
    return 0;
}

int BaseThread::WaitForSignal(int nTimeout)
{
    std::unique_lock<std::mutex> hold(m_hEvent->mutex);
    if (!WaitUntil(m_hEvent->changed, hold, nTimeout, [this] { return m_hEvent->bSet; }))
        return 3;
    m_hEvent->bSet = false;
    return 0;
}

int BaseThread::Signal()
{
    std::lock_guard<std::mutex> hold(m_hEvent->mutex);
    m_hEvent->bSet = true;
    m_hEvent->changed.notify_one();
    return 0;
}

int BaseThread::WaitForExit(int nTimeout)
{
    if (m_hThread == nullptr)
        return 0;
    ExitState& exit = *m_hThread->exit;
    std::unique_lock<std::mutex> hold(exit.mutex);
    return WaitUntil(exit.ended, hold, nTimeout, [&exit] { return exit.bEnded; }) ? 0 : 3;
}

void BaseThread::Lock()
{
    m_Lock.Lock();
}

void BaseThread::Unlock()
{
    m_Lock.Unlock();
}

unsigned int BaseThread::ThreadEntry(void* pThis)
{
    static_cast<BaseThread*>(pThis)->Run();
    return 0;
}
