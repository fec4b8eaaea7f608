#ifndef ZYM_LINECOUNTS_H
#define ZYM_LINECOUNTS_H

#include <atomic>

// How many lines were ever queued for the server and how many the
// background thread has taken off the queue and sent (or failed to send): a
// line queued as count n is done with once Taken() reaches n. Read from both
// threads.
class LineCounts
{
public:
    LineCounts() : m_nQueued(0), m_nTaken(0) {}

    long Queued() const { return m_nQueued.load(); }
    long Taken() const { return m_nTaken.load(); }
    // Counted before the line is pushed, so that a count read after a line
    // was pushed includes it whichever thread pushed first.
    void CountQueued() { ++m_nQueued; }
    void UncountQueued() { --m_nQueued; }
    void CountTaken() { ++m_nTaken; }

private:
    std::atomic<long> m_nQueued;
    std::atomic<long> m_nTaken;
};

#endif
