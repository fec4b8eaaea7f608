#include "ProbeThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace
{
long long MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}
}

TEST(BaseThread, StartLimitOneStartsOnce)
{
    ProbeThread thread(1, false);
    ASSERT_EQ(0, thread.Start());
    ZymThreadHandle first = thread.ThreadHandle();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(0, thread.WaitForExit(5000));
    EXPECT_EQ(4, thread.Start());
    EXPECT_EQ(first, thread.ThreadHandle());
    EXPECT_EQ(1, thread.Runs());
}

TEST(BaseThread, RunsOnAThreadOfItsOwnAndMayBeStartedAgain)
{
    ProbeThread thread(-1, false);
    ASSERT_EQ(0, thread.Start());
    ASSERT_EQ(0, thread.WaitForExit(5000));
    EXPECT_NE(std::this_thread::get_id(), thread.RunThread());
    ZymThreadHandle first = thread.ThreadHandle();

    ASSERT_EQ(0, thread.Start());
    EXPECT_NE(first, thread.ThreadHandle());
    EXPECT_EQ(0, thread.WaitForExit(5000));
    EXPECT_EQ(2, thread.Runs());
}

TEST(BaseThread, WaitForSignalTimesOutUnlessSignalledOnce)
{
    ProbeThread thread(-1, false);
    EXPECT_EQ(3, thread.WaitForSignal(0));
    EXPECT_EQ(0, thread.Signal());
    EXPECT_EQ(0, thread.WaitForSignal(0));
    EXPECT_EQ(3, thread.WaitForSignal(0));
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(3, thread.WaitForSignal(100));
    EXPECT_GE(MillisecondsSince(start), 80);
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
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(0, thread.WaitForExit(-1));
    EXPECT_LT(MillisecondsSince(start), 1000);
    EXPECT_EQ(0, thread.Runs());
}
