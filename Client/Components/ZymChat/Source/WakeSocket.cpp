#include "WakeSocket.h"

#include "SocketCalls.h"
#include "SocketResults.h"

WakeSocket::WakeSocket() : m_bStarted(false), m_hSocket(0), m_bPending(false)
{
    NetworkStartupData data;
    m_bStarted = StartNetwork(&data) == 0;
    if (m_bStarted && OpenWakeSocket(&m_hSocket) != ZymSocketOk)
        m_hSocket = 0;
}

WakeSocket::~WakeSocket()
{
    if (m_hSocket != 0)
        CloseWakeSocket(m_hSocket);
    if (m_bStarted)
        StopNetwork();
}

void WakeSocket::Signal()
{
    if (m_hSocket == 0 || m_bPending.exchange(true))
        return;
    if (!SendWakeByte(m_hSocket))
        m_bPending = false;
}

void WakeSocket::Drain()
{
    if (m_hSocket == 0)
        return;
    // Only one datagram can be waiting (see m_bPending). The flag is cleared
    // after taking it: a Signal in between finds its line already queued for
    // the thread's next look at the queue.
    DrainWakeSocket(m_hSocket);
    m_bPending = false;
}
