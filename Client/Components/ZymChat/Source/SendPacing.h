#ifndef ZYM_SENDPACING_H
#define ZYM_SENDPACING_H

#include <chrono>

// When the background thread may send its next queued line: at once after a
// quiet spell, and otherwise no sooner than one interval after the line
// before, so that a burst of commands does not trip a server's flood limit.
class SendPacing
{
public:
    typedef std::chrono::steady_clock Clock;

    explicit SendPacing(int nIntervalMs);

    bool MayLeave(Clock::time_point now) const;
    // A line left at now.
    void Left(Clock::time_point now);
    // How long a wait that starts at now may last, at most nLimitMs: until
    // the next line may leave, when that is sooner. Never 0, which would
    // only poll.
    int WaitMilliseconds(Clock::time_point now, int nLimitMs) const;

private:
    Clock::duration m_Interval;
    bool m_bAnyLeft;
    Clock::time_point m_NextAllowed;
};

#endif
