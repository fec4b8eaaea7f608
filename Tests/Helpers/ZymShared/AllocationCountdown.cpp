#include "AllocationCountdown.h"

#include <windows.h>

#include <stdlib.h>

#include <atomic>
#include <new>

namespace {

std::atomic<bool> s_armed(false);
std::atomic<bool> s_fired(false);
std::atomic<long> s_left(0);
std::atomic<DWORD> s_thread(0);
std::atomic<bool> s_onThisThread(true);

bool Counts()
{
    if (!s_armed.load())
        return false;
    return (GetCurrentThreadId() == s_thread.load()) == s_onThisThread.load();
}

} // namespace

void AllocationCountdown::Arm(Side side, long n)
{
    s_fired = false;
    s_left = n;
    s_thread = GetCurrentThreadId();
    s_onThisThread = side == ThisThread;
    s_armed = true;
}

bool AllocationCountdown::Disarm()
{
    s_armed = false;
    return s_fired.load();
}

// The array, nothrow and sized forms of the standard library reach
// these.
void* operator new(size_t size)
{
    if (Counts() && s_left.fetch_sub(1) == 1) {
        s_fired = true;
        throw std::bad_alloc();
    }
    void* memory = malloc(size == 0 ? 1 : size);
    if (memory == nullptr)
        throw std::bad_alloc();
    return memory;
}

void operator delete(void* memory) noexcept
{
    free(memory);
}

void operator delete(void* memory, size_t) noexcept
{
    free(memory);
}
