#include "ProbeThread.h"

#include <gtest/gtest.h>

#include <windows.h>

// What the Win32 form keeps: the handle and id of the thread it started.

namespace
{
bool HandleIsOpen(HANDLE h)
{
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != FALSE;
}
}

TEST(BaseThreadHandle, AStartRefusedByTheLimitKeepsTheHandleOpen)
{
    ProbeThread thread(1, false);
    ASSERT_EQ(0, thread.Start());
    HANDLE first = thread.ThreadHandle();
    EXPECT_EQ(0, thread.WaitForExit(5000));
    EXPECT_EQ(4, thread.Start());
    EXPECT_TRUE(HandleIsOpen(first));
}

TEST(BaseThreadHandle, RunsOnTheThreadItReportsAndExitsWithZero)
{
    ProbeThread thread(-1, false);
    ASSERT_EQ(0, thread.Start());
    ASSERT_EQ(0, thread.WaitForExit(5000));
    DWORD exitCode = 1;
    EXPECT_TRUE(GetExitCodeThread(thread.ThreadHandle(), &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_NE(GetCurrentThreadId(), thread.ThreadId());
}

TEST(BaseThreadHandle, RestartClosesTheFinishedThreadsHandle)
{
    ProbeThread thread(-1, false);
    ASSERT_EQ(0, thread.Start());
    ASSERT_EQ(0, thread.WaitForExit(5000));
    HANDLE first = thread.ThreadHandle();
    unsigned int firstId = thread.ThreadId();

    ASSERT_EQ(0, thread.Start());
    HANDLE second = thread.ThreadHandle();
    // Once closed, the first handle's value may name any object opened since
    // (the new thread included), and a finished thread's id may be given
    // again: only a value that still names the first thread is a leak.
    EXPECT_FALSE(second != first && HandleIsOpen(first) && GetThreadId(first) == firstId &&
                 GetThreadId(second) != firstId);
    EXPECT_TRUE(HandleIsOpen(second));
    EXPECT_EQ(GetThreadId(second), thread.ThreadId());
    EXPECT_EQ(0, thread.WaitForExit(5000));
}
