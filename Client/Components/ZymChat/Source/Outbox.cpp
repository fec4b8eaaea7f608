#include "Outbox.h"

#include "SKException.h"
#include "ScopedThreadLock.h"

Outbox::Outbox(int nSendIntervalMs)
    : m_pCommandQueue(new TQueue<ZymString>()),
      m_Pacing(nSendIntervalMs),
      m_bPongWaiting(false),
      m_bPongTakenLast(false),
      m_bQueuedLineOut(false)
{
}

Outbox::~Outbox()
{
    delete m_pCommandQueue;
}

bool Outbox::Queue(const char* pszLine)
{
    // Counted before the push, so that a count read after a line was pushed
    // includes that line whichever thread pushed first.
    m_Counts.CountQueued();
    try
    {
        m_pCommandQueue->push(ZymString(pszLine));
    }
    catch (...)
    {
        m_Counts.UncountQueued();
        return false;
    }
    try
    {
        m_CommandEvent.Signal();
    }
    catch (...)
    {
        return false;
    }
    return true;
}

bool Outbox::QueuePong(const char* pszLine)
{
    try
    {
        ZymString pong(pszLine);
        bool bWasWaiting;
        {
            ScopedThreadLock hold(m_PongLock);
            bWasWaiting = m_bPongWaiting;
            m_WaitingPong = pong;
            m_bPongWaiting = true;
        }
        // One signal stands for the slot while it is filled.
        if (!bWasWaiting)
            m_CommandEvent.Signal();
    }
    catch (...)
    {
        return false;
    }
    return true;
}

bool Outbox::MayLeave(SendPacing::Clock::time_point now)
{
    return m_Pacing.MayLeave(now) && m_CommandEvent.TryConsume();
}

bool Outbox::TakeWaitingPongHeld(ZymString& line)
{
    if (!m_bPongWaiting)
        return false;
    line = m_WaitingPong;
    m_bPongWaiting = false;
    m_bPongTakenLast = true;
    return true;
}

bool Outbox::Take(ZymString& line)
{
    {
        ScopedThreadLock hold(m_PongLock);
        bool bLinesWaiting = m_Counts.Queued() > m_Counts.Taken();
        if (!(m_bPongTakenLast && bLinesWaiting) && TakeWaitingPongHeld(line))
            return true;
    }
    try
    {
        line = m_pCommandQueue->pop();
    }
    catch (SKException&)
    {
        // A line counted but not pushed yet: the waiting answer goes now.
        ScopedThreadLock hold(m_PongLock);
        return TakeWaitingPongHeld(line);
    }
    {
        ScopedThreadLock hold(m_PongLock);
        m_bPongTakenLast = false;
    }
    m_bQueuedLineOut = true;
    return true;
}

void Outbox::Sent()
{
    // Only queued lines count: Quit and the attribute answers measure the
    // queue by them.
    if (!m_bQueuedLineOut)
        return;
    m_bQueuedLineOut = false;
    m_Counts.CountTaken();
}

bool Outbox::TakeUnsentBefore(long nLine, ZymString& line)
{
    if (m_Counts.Taken() >= nLine || !m_CommandEvent.TryConsume() || !Take(line))
        return false;
    Sent();
    return true;
}
