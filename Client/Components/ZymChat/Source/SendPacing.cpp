#include "SendPacing.h"

SendPacing::SendPacing(int nIntervalMs)
    : m_Interval(std::chrono::milliseconds(nIntervalMs)), m_bAnyLeft(false), m_NextAllowed()
{
}

bool SendPacing::MayLeave(Clock::time_point now) const
{
    return !m_bAnyLeft || now >= m_NextAllowed;
}

void SendPacing::Left(Clock::time_point now)
{
    m_bAnyLeft = true;
    m_NextAllowed = now + m_Interval;
}

int SendPacing::WaitMilliseconds(Clock::time_point now, int nLimitMs) const
{
    if (MayLeave(now))
        return nLimitMs;
    // Rounded up, so the wait never ends just before the line may leave.
    auto remaining = std::chrono::duration_cast<std::chrono::microseconds>(m_NextAllowed - now);
    long long nMs = (remaining.count() + 999) / 1000;
    if (nMs < 1)
        nMs = 1;
    return nMs < nLimitMs ? static_cast<int>(nMs) : nLimitMs;
}
