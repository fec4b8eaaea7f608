#include "BaseThread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace
{
// Counts its runs; with bWaitForSignal each run waits for Signal first.
class ProbeThread : public BaseThread
{
public:
    ProbeThread(int nMaxStarts, bool bWaitForSignal)
        : BaseThread(nMaxStarts), m_bWaitForSignal(bWaitForSignal), m_nRuns(0), m_nRunThreadId(0)
    {
    }

    ~ProbeThread() override
    {
        Signal();
        WaitForExit(5000);
    }

    HANDLE ThreadHandle() const { return m_hThread; }
    unsigned int ThreadId() const { return m_nThreadId; }
    int Runs() const { return m_nRuns; }
    DWORD RunThreadId() const { return m_nRunThreadId; }

protected:
    void Run() override
    {
        if (m_bWaitForSignal)
            WaitForSignal(-1);
        m_nRunThreadId = GetCurrentThreadId();
        ++m_nRuns;
    }

private:
    bool m_bWaitForSignal;
    std::atomic<int> m_nRuns;
    std::atomic<DWORD> m_nRunThreadId;
};

bool HandleIsOpen(HANDLE h)
{
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != FALSE;
}
}

TEST(BaseThread, StartLimitOneStartsOnce)
{
    ProbeThread thread(1, false);
    ASSERT_EQ(0, thread.Start());
    HANDLE first = thread.ThreadHandle();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(0, thread.WaitForExit(5000));
    EXPECT_EQ(4, thread.Start());
    EXPECT_EQ(first, thread.ThreadHandle());
    EXPECT_TRUE(HandleIsOpen(first));
    EXPECT_EQ(1, thread.Runs());
}

TEST(BaseThread, RunsOnTheThreadItReports)
{
    ProbeThread thread(-1, false);
    ASSERT_EQ(0, thread.Start());
    ASSERT_EQ(0, thread.WaitForExit(5000));
    EXPECT_EQ(thread.ThreadId(), thread.RunThreadId());
    EXPECT_NE(GetCurrentThreadId(), thread.RunThreadId());
    DWORD exitCode = 1;
    EXPECT_TRUE(GetExitCodeThread(thread.ThreadHandle(), &exitCode));
    EXPECT_EQ(0u, exitCode);
}

TEST(BaseThread, RestartClosesTheFinishedThreadsHandle)
{
    ProbeThread thread(-1, false);
    ASSERT_EQ(0, thread.Start());
    ASSERT_EQ(0, thread.WaitForExit(5000));
    HANDLE first = thread.ThreadHandle();
    unsigned int firstId = thread.ThreadId();

    ASSERT_EQ(0, thread.Start());
    HANDLE second = thread.ThreadHandle();
    EXPECT_NE(first, second);
    EXPECT_FALSE(HandleIsOpen(first));
    EXPECT_TRUE(HandleIsOpen(second));
    EXPECT_EQ(0, thread.WaitForExit(5000));
    EXPECT_EQ(2, thread.Runs());
    EXPECT_NE(firstId, thread.ThreadId());
}

TEST(BaseThread, WaitForSignalTimesOutUnlessSignalledOnce)
{
    ProbeThread thread(-1, false);
    EXPECT_EQ(3, thread.WaitForSignal(0));
    EXPECT_EQ(0, thread.Signal());
    EXPECT_EQ(0, thread.WaitForSignal(0));
    EXPECT_EQ(3, thread.WaitForSignal(0));
    DWORD start = GetTickCount();
    EXPECT_EQ(3, thread.WaitForSignal(100));
    EXPECT_GE(GetTickCount() - start, 80u);
}

TEST(BaseThread, WaitForExitTimesOutWhileRunIsBusy)
{
    ProbeThread thread(-1, true);
    ASSERT_EQ(0, thread.Start());
    EXPECT_EQ(3, thread.WaitForExit(0));
    EXPECT_EQ(3, thread.WaitForExit(100));
    EXPECT_EQ(0, thread.Runs());
    thread.Signal();
    EXPECT_EQ(0, thread.WaitForExit(5000));
    EXPECT_EQ(1, thread.Runs());
}

TEST(BaseThread, WaitForExitWithoutAThreadReturnsAtOnce)
{
    ProbeThread thread(-1, false);
    DWORD start = GetTickCount();
    EXPECT_EQ(0, thread.WaitForExit(-1));
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_EQ(0, thread.Runs());
}
