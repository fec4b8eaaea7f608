#include "AlertWatcher.h"
#include "ZymAlert.h"

#include <gtest/gtest.h>

// The message box watcher is what closes the boxes of the code under test;
// when it gives up, nothing else would, and a box that comes late must not
// hold the test until the run's time limit.
TEST(AlertWatcherDeathTest, AWatcherThatGivesUpEndsTheProgramAtOnce)
{
    EXPECT_EXIT(
        {
            AlertWatcher watcher(AlertExpected(), 200);
            Sleep(600);
            ZymAlert("too late for the watcher");
        },
        ::testing::ExitedWithCode(1), "no \"Alert!\" box within 200 ms");
}
