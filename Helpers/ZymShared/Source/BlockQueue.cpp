#include "BlockQueue.h"

BlockQueue::BlockQueue(size_t blockCount, size_t blockSize)
    : m_Blocks(blockCount), m_BlockSize(blockSize), m_First(0), m_Filled(0), m_bClosed(false),
      m_bCancelled(false), m_bFillingStopped(false)
{
    for (InflatedBlock& block : m_Blocks)
        block.data.reset(new char[blockSize]);
    InitializeSRWLock(&m_Lock);
    InitializeConditionVariable(&m_BlockFree);
    InitializeConditionVariable(&m_BlockFilled);
}

InflatedBlock* BlockQueue::NextToFill()
{
    AcquireSRWLockExclusive(&m_Lock);
    while (!m_bCancelled && !m_bFillingStopped && m_Filled == m_Blocks.size())
        SleepConditionVariableSRW(&m_BlockFree, &m_Lock, INFINITE, 0);
    InflatedBlock* block = nullptr;
    if (!m_bCancelled && !m_bFillingStopped) {
        block = &m_Blocks[(m_First + m_Filled) % m_Blocks.size()];
        block->begins = false;
        block->path.clear();
        block->entry = 0;
        block->ends = false;
        block->result = 0;
        block->size = 0;
    }
    ReleaseSRWLockExclusive(&m_Lock);
    return block;
}

void BlockQueue::Filled()
{
    AcquireSRWLockExclusive(&m_Lock);
    ++m_Filled;
    ReleaseSRWLockExclusive(&m_Lock);
    WakeConditionVariable(&m_BlockFilled);
}

void BlockQueue::Close()
{
    AcquireSRWLockExclusive(&m_Lock);
    m_bClosed = true;
    ReleaseSRWLockExclusive(&m_Lock);
    WakeConditionVariable(&m_BlockFilled);
}

InflatedBlock* BlockQueue::NextToWrite()
{
    AcquireSRWLockExclusive(&m_Lock);
    while (!m_bCancelled && !m_bClosed && !m_bFillingStopped && m_Filled == 0)
        SleepConditionVariableSRW(&m_BlockFilled, &m_Lock, INFINITE, 0);
    InflatedBlock* block = !m_bCancelled && m_Filled > 0 ? &m_Blocks[m_First] : nullptr;
    ReleaseSRWLockExclusive(&m_Lock);
    return block;
}

bool BlockQueue::Ready()
{
    AcquireSRWLockExclusive(&m_Lock);
    const bool ready = m_bCancelled || m_bClosed || m_bFillingStopped || m_Filled > 0;
    ReleaseSRWLockExclusive(&m_Lock);
    return ready;
}

void BlockQueue::Written()
{
    AcquireSRWLockExclusive(&m_Lock);
    m_First = (m_First + 1) % m_Blocks.size();
    --m_Filled;
    ReleaseSRWLockExclusive(&m_Lock);
    WakeConditionVariable(&m_BlockFree);
}

void BlockQueue::Cancel()
{
    AcquireSRWLockExclusive(&m_Lock);
    m_bCancelled = true;
    ReleaseSRWLockExclusive(&m_Lock);
    WakeConditionVariable(&m_BlockFree);
    WakeConditionVariable(&m_BlockFilled);
}

void BlockQueue::StopFilling()
{
    AcquireSRWLockExclusive(&m_Lock);
    m_bFillingStopped = true;
    ReleaseSRWLockExclusive(&m_Lock);
    WakeConditionVariable(&m_BlockFree);
    WakeConditionVariable(&m_BlockFilled);
}
