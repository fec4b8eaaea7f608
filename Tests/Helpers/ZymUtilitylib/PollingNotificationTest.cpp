#include "AlertWatcher.h"
#include "ZymAlert.h"
#include "ZymNotification.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace
{
const char* const kAlertText = "Go belittle the developer that added a call to this function!";
// How late a loaded machine may show a box without the wait being wrong.
const long long kLateMs = 1000;

long long Millis(std::chrono::steady_clock::time_point start, const AlertBox& box)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(box.shownAt - start).count();
}

// The first window of a process takes most of 100 ms to appear under Wine;
// later boxes appear within a few milliseconds, so timings are taken after
// one box has been shown and closed.
void ShowFirstBox()
{
    AlertWatcher watcher{AlertExpected()};
    ZymAlert("first");
    ASSERT_TRUE(watcher.Result().bFound);
}
}

TEST(PollingNotification, ThreeSignalsServeThreeConsumers)
{
    PollingNotification n;
    EXPECT_FALSE(n.TryConsume());
    n.Signal();
    n.Signal();
    n.Signal();
    EXPECT_TRUE(n.TryConsume());
    EXPECT_TRUE(n.TryConsume());
    EXPECT_TRUE(n.TryConsume());
    EXPECT_FALSE(n.TryConsume());
}

TEST(PollingNotification, ResetDropsPendingSignals)
{
    PollingNotification n;
    n.Signal();
    n.Signal();
    n.Reset();
    EXPECT_FALSE(n.TryConsume());
    n.Signal();
    EXPECT_TRUE(n.TryConsume());
}

TEST(PollingNotification, WaitWithoutTimeAlertsAndTimesOut)
{
    ShowFirstBox();
    PollingNotification n;
    AlertWatcher watcher{AlertExpected()};
    auto start = std::chrono::steady_clock::now();
    int result = n.Wait(0);
    const AlertBox& box = watcher.Result();
    EXPECT_EQ(1, result);
    ASSERT_TRUE(box.bFound);
    EXPECT_EQ(kAlertText, box.text);
    // No wait at all: the bound is loose, since a loaded machine may show
    // the box late, yet far below the next longest wait of these tests.
    EXPECT_LT(Millis(start, box), kLateMs);
}

TEST(PollingNotification, WaitPollsForTheWholeTimeout)
{
    ShowFirstBox();
    PollingNotification n;
    AlertWatcher watcher{AlertExpected()};
    auto start = std::chrono::steady_clock::now();
    int result = n.Wait(250);
    const AlertBox& box = watcher.Result();
    EXPECT_EQ(1, result);
    ASSERT_TRUE(box.bFound);
    EXPECT_EQ(kAlertText, box.text);
    // Steps of 100, 100 and 50 ms: never short of the timeout, and over
    // within a bound that a loaded machine's lateness cannot reach.
    EXPECT_GE(Millis(start, box), 245);
    EXPECT_LT(Millis(start, box), 250 + kLateMs);
}

TEST(PollingNotification, SignalledWaitConsumesEverySignal)
{
    PollingNotification n;
    n.Signal();
    n.Signal();
    AlertWatcher watcher{AlertExpected()};
    int result = n.Wait(1000);
    const AlertBox& box = watcher.Result();
    EXPECT_EQ(0, result);
    ASSERT_TRUE(box.bFound);
    EXPECT_EQ(kAlertText, box.text);
    EXPECT_FALSE(n.TryConsume());
}

TEST(PollingNotification, WaitWithoutLimitSeesALaterSignal)
{
    PollingNotification n;
    AlertWatcher watcher{AlertExpected()};
    std::thread signaller([&n] {
        Sleep(150);
        n.Signal();
    });
    auto start = std::chrono::steady_clock::now();
    int result = n.Wait(-1);
    signaller.join();
    const AlertBox& box = watcher.Result();
    EXPECT_EQ(0, result);
    ASSERT_TRUE(box.bFound);
    EXPECT_GE(Millis(start, box), 140);
    EXPECT_FALSE(n.TryConsume());
}
