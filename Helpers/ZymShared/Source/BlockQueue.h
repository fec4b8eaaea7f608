#ifndef BLOCKQUEUE_H
#define BLOCKQUEUE_H

#include <windows.h>

#include <stddef.h>

#include <vector>

#include "InflatedBlock.h"

// A fixed ring of blocks between one filling thread and one writing thread,
// so that inflating the next entries goes on while files are written. Each
// side holds at most one block at a time, between taking it and handing it
// on; the memory stays what the constructor allocated.
class BlockQueue {
public:
    // Throws std::bad_alloc when the blocks cannot be had.
    BlockQueue(size_t blockCount, size_t blockSize);
    BlockQueue(const BlockQueue&) = delete;
    BlockQueue& operator=(const BlockQueue&) = delete;

    size_t BlockSize() const { return m_BlockSize; }

    // Filling side: waits for a free block, cleared; null once the writer
    // has given up or the filling was stopped.
    InflatedBlock* NextToFill();
    // Hands the block from NextToFill to the writer.
    void Filled();
    // Nothing more will come.
    void Close();

    // Writing side: waits for a filled block; null once the filler closed
    // the queue or the filling was stopped and every block was written, or
    // after Cancel.
    InflatedBlock* NextToWrite();
    // Whether NextToWrite would return at once: a block is filled, or none
    // will come.
    bool Ready();
    // Gives the block from NextToWrite back to the filler.
    void Written();
    // The writer stops: the filler's next NextToFill gives null.
    void Cancel();
    // The filler's next NextToFill gives null; the writer still gets the
    // blocks filled before.
    void StopFilling();

private:
    std::vector<InflatedBlock> m_Blocks;
    const size_t m_BlockSize;
    // The oldest filled block, and how many are filled from there on.
    size_t m_First;
    size_t m_Filled;
    bool m_bClosed;
    bool m_bCancelled;
    bool m_bFillingStopped;
    SRWLOCK m_Lock;
    CONDITION_VARIABLE m_BlockFree;
    CONDITION_VARIABLE m_BlockFilled;
};

#endif
