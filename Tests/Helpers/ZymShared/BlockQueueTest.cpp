#include "BlockQueue.h"

#include <gtest/gtest.h>

#include <string.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace {

const size_t kBlocks = 3;
const size_t kBlockSize = 16;

// Fills count blocks, each with its number in its text and path, the last
// one marked as the end; stops when the queue gives no block.
void Fill(BlockQueue& queue, int count, std::atomic<int>& filled)
{
    for (int i = 0; i < count; ++i) {
        InflatedBlock* block = queue.NextToFill();
        if (block == nullptr)
            break;
        const std::string text = std::to_string(i);
        memcpy(block->data.get(), text.data(), text.size());
        block->size = text.size();
        block->begins = i % 2 == 0;
        if (block->begins)
            block->path = L"entry" + std::to_wstring(i);
        block->ends = i + 1 == count;
        queue.Filled();
        ++filled;
    }
    queue.Close();
}

} // namespace

// Many more blocks than the ring holds: the writer sees each in order and
// whole, the fields of a block never left over from its previous round.
TEST(BlockQueueTest, BlocksArriveInOrderAcrossManyRounds)
{
    BlockQueue queue(kBlocks, kBlockSize);
    std::atomic<int> filled(0);
    const int count = 1000;
    std::thread filler(Fill, std::ref(queue), count, std::ref(filled));
    int seen = 0;
    while (InflatedBlock* block = queue.NextToWrite()) {
        EXPECT_EQ(std::string(block->data.get(), block->size), std::to_string(seen));
        EXPECT_EQ(block->begins, seen % 2 == 0);
        EXPECT_EQ(block->path, block->begins ? L"entry" + std::to_wstring(seen) : std::wstring());
        EXPECT_EQ(block->ends, seen + 1 == count);
        ++seen;
        queue.Written();
    }
    filler.join();
    EXPECT_EQ(seen, count);
    EXPECT_EQ(filled.load(), count);
}

// A writer that gives up (a file that cannot be written) while the filler
// waits for a free block: the filler is let go at once instead of waiting
// forever, and fills nothing more.
TEST(BlockQueueTest, CancelReleasesAFillerWaitingForAFreeBlock)
{
    BlockQueue queue(kBlocks, kBlockSize);
    std::atomic<int> filled(0);
    std::thread filler(Fill, std::ref(queue), 100, std::ref(filled));
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (filled.load() < static_cast<int>(kBlocks) && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(filled.load(), static_cast<int>(kBlocks));
    // The ring is full: the filler now waits in NextToFill.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(filled.load(), static_cast<int>(kBlocks));

    ASSERT_NE(queue.NextToWrite(), nullptr);
    queue.Cancel();
    filler.join();
    EXPECT_EQ(filled.load(), static_cast<int>(kBlocks));
    EXPECT_EQ(queue.NextToWrite(), nullptr);
}

// A failure in another writer stops the reading only: the filler waiting
// for a free block is let go, and this writer still gets every block
// filled before (the entries ahead of the failed one), then null.
TEST(BlockQueueTest, StopFillingReleasesTheFillerAndLeavesTheFilledBlocks)
{
    BlockQueue queue(kBlocks, kBlockSize);
    std::atomic<int> filled(0);
    std::thread filler(Fill, std::ref(queue), 100, std::ref(filled));
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (filled.load() < static_cast<int>(kBlocks) && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(filled.load(), static_cast<int>(kBlocks));

    queue.StopFilling();
    filler.join();
    EXPECT_EQ(filled.load(), static_cast<int>(kBlocks));
    int seen = 0;
    while (InflatedBlock* block = queue.NextToWrite()) {
        EXPECT_EQ(std::string(block->data.get(), block->size), std::to_string(seen));
        ++seen;
        queue.Written();
        if (seen > static_cast<int>(kBlocks))
            break;
    }
    EXPECT_EQ(seen, static_cast<int>(kBlocks));
}

// The filler ends with nothing left: the writer's wait ends too.
TEST(BlockQueueTest, CloseEndsTheWritersWait)
{
    BlockQueue queue(kBlocks, kBlockSize);
    std::atomic<int> filled(0);
    std::thread filler(Fill, std::ref(queue), 0, std::ref(filled));
    EXPECT_EQ(queue.NextToWrite(), nullptr);
    filler.join();
}
