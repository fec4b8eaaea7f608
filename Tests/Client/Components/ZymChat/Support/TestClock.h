#ifndef ZYM_TESTS_TESTCLOCK_H
#define ZYM_TESTS_TESTCLOCK_H

#include <chrono>
#include <thread>

// Pauses the test's thread.
inline void PauseMs(int nMilliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(nMilliseconds));
}

// Milliseconds since construction, on the monotonic clock.
class Stopwatch
{
public:
    Stopwatch() : m_Start(std::chrono::steady_clock::now()) {}

    long long ElapsedMs() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - m_Start)
            .count();
    }

private:
    std::chrono::steady_clock::time_point m_Start;
};

#endif
