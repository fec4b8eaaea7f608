#include "TQueue.h"
#include "ZymString.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

TEST(TQueue, ElementsComeOutInPushOrder)
{
    TQueue<ZymString> queue;
    queue.push(ZymString("NICK a"));
    queue.push(ZymString("USER a"));
    queue.push(ZymString("JOIN #c"));
    EXPECT_STREQ("NICK a", queue.pop().Text());
    EXPECT_STREQ("USER a", queue.pop().Text());
    queue.push(ZymString("PART #c"));
    EXPECT_STREQ("JOIN #c", queue.pop().Text());
    EXPECT_STREQ("PART #c", queue.pop().Text());
    EXPECT_THROW(queue.pop(), SKException);
}

TEST(TQueue, FailedPopReleasesTheLock)
{
    TQueue<ZymString> queue;
    std::string message;
    try
    {
        queue.pop();
    }
    catch (const SKException& e)
    {
        message = e.GetMessage();
    }
    EXPECT_EQ("pop(): the list is empty.  Nothing to pop.", message);

    // The lock is re-entrant for the thread that holds it, so only another
    // thread can tell whether it was left held.
    std::packaged_task<std::string()> task([&queue] {
        queue.push(ZymString("after"));
        return std::string(queue.pop().Text());
    });
    std::future<std::string> result = task.get_future();
    std::thread other(std::move(task));
    if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready)
    {
        other.detach();
        FAIL() << "push and pop on another thread stayed blocked";
    }
    other.join();
    EXPECT_EQ("after", result.get());
}

TEST(TQueue, OneThreadPushesWhileAnotherPops)
{
    const int kLines = 2000;
    TQueue<ZymString> queue;
    std::thread producer([&queue] {
        for (int i = 0; i < kLines; ++i)
            queue.push(ZymString(std::to_string(i).c_str()));
    });
    int next = 0;
    bool inOrder = true;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (next < kLines && std::chrono::steady_clock::now() < deadline)
    {
        try
        {
            ZymString line = queue.pop();
            inOrder = inOrder && std::to_string(next) == line.Text();
            ++next;
        }
        catch (const SKException&)
        {
            std::this_thread::yield();
        }
    }
    producer.join();
    EXPECT_EQ(kLines, next);
    EXPECT_TRUE(inOrder);
}
