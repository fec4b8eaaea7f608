#include "ThreadLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace
{
// Another thread that takes the lock once and lets it go.
class LockProbe
{
public:
    explicit LockProbe(ThreadLock& lock) : m_pTaken(std::make_shared<std::atomic<bool> >(false))
    {
        std::shared_ptr<std::atomic<bool> > taken = m_pTaken;
        m_Thread = std::thread([&lock, taken] {
            lock.Lock();
            *taken = true;
            lock.Unlock();
        });
    }

    ~LockProbe()
    {
        // A probe still blocked means the lock was left held: leave the
        // thread rather than hang the test program.
        if (*m_pTaken || Taken(std::chrono::seconds(5)))
            m_Thread.join();
        else
            m_Thread.detach();
    }

    bool Taken(std::chrono::milliseconds limit)
    {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (!*m_pTaken && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return *m_pTaken;
    }

private:
    std::shared_ptr<std::atomic<bool> > m_pTaken;
    std::thread m_Thread;
};
}

TEST(ThreadLock, ExcludesOtherThreadsUntilUnlocked)
{
    // Kept alive past the test: a detached probe may still reach it.
    static ThreadLock lock;
    lock.Lock();
    LockProbe probe(lock);
    EXPECT_FALSE(probe.Taken(std::chrono::milliseconds(150)));
    lock.Unlock();
    EXPECT_TRUE(probe.Taken(std::chrono::seconds(5)));
}

TEST(ThreadLock, UnlockWithoutLockDoesNothing)
{
    static ThreadLock lock;
    lock.Unlock();
    lock.Lock();
    lock.Unlock();
    lock.Unlock();
    {
        LockProbe probe(lock);
        EXPECT_TRUE(probe.Taken(std::chrono::seconds(5)));
    }

    // The stray Unlock calls must not have unbalanced the section: holding
    // it still keeps other threads out.
    lock.Lock();
    LockProbe probe(lock);
    EXPECT_FALSE(probe.Taken(std::chrono::milliseconds(150)));
    lock.Unlock();
    EXPECT_TRUE(probe.Taken(std::chrono::seconds(5)));
}
