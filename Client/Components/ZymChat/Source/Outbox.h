#ifndef ZYM_OUTBOX_H
#define ZYM_OUTBOX_H

#include "LineCounts.h"
#include "SendPacing.h"
#include "SocketNotification.h"
#include "TQueue.h"
#include "ThreadLock.h"
#include "ZymString.h"

// The lines waiting for the server: the queue in the order the lines were
// queued, the slot of the answer to the latest PING, the counts of lines
// queued and taken, the signal that wakes the background thread for each
// waiting line, and the pacing of lines on the wire. Any thread queues; only
// the background thread takes.
class Outbox
{
public:
    explicit Outbox(int nSendIntervalMs);
    ~Outbox();
    Outbox(const Outbox&) = delete;
    Outbox& operator=(const Outbox&) = delete;

    // Behind every line queued before it; false when it could not be queued.
    bool Queue(const char* pszLine);
    // Ahead of the queued lines, in place of an answer to an earlier PING
    // still waiting, so that a PING flood holds one line.
    bool QueuePong(const char* pszLine);

    // True when a line waits and the pacing lets it leave at now; the
    // line's signal is then taken.
    bool MayLeave(SendPacing::Clock::time_point now);
    // The next line: the waiting PONG first, then the oldest queued line;
    // after a PONG a queued line goes before the next one. False when none.
    bool Take(ZymString& line);
    // The line taken last has gone out, or failed to: a queued one now
    // counts as taken.
    void Sent();
    // A line left at now.
    void Left(SendPacing::Clock::time_point now) { m_Pacing.Left(now); }
    // How long the background thread may wait at now, at most nLimitMs.
    int WaitMilliseconds(SendPacing::Clock::time_point now, int nLimitMs) const
    {
        return m_Pacing.WaitMilliseconds(now, nLimitMs);
    }
    // Takes a line unsent while fewer than nLine lines have been taken:
    // lines queued for a connection that ended before sending them. The
    // line counts as taken.
    bool TakeUnsentBefore(long nLine, ZymString& line);

    const LineCounts& Counts() const { return m_Counts; }
    SocketNotification& Signal() { return m_CommandEvent; }

private:
    // Under m_PongLock.
    bool TakeWaitingPongHeld(ZymString& line);

    TQueue<ZymString>* m_pCommandQueue;
    // Signalled once for every line put on the queue, and once while the
    // PONG slot is filled.
    SocketNotification m_CommandEvent;
    LineCounts m_Counts;
    SendPacing m_Pacing;

    ThreadLock m_PongLock;
    ZymString m_WaitingPong;
    bool m_bPongWaiting;
    // The last line taken was a PONG: a server that pings before every turn
    // of the loop would otherwise hold back every queued line.
    bool m_bPongTakenLast;
    // The line taken last came off the queue and is not counted yet. Only
    // the taking thread reads and writes it.
    bool m_bQueuedLineOut;
};

#endif
