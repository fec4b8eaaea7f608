#include "CountingSink.h"

#include <chrono>

CountingSink::CountingSink() : m_Texts(), m_nListEnds(0), m_nErrors(0)
{
}

void CountingSink::NotifyEvent(int nCode, int)
{
    if (nCode != CHAT_EVENT_LIST_END)
    {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        ++m_nListEnds;
    }
    m_Changed.notify_all();
}

void CountingSink::NotifyText(int nCode, const char*)
{
    if (nCode >= 0 && nCode < kCodes)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        ++m_Texts[nCode];
    }
}

int CountingSink::ReportError(int, const char*)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    ++m_nErrors;
    return 0;
}

long CountingSink::Texts(int nCode) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return nCode >= 0 && nCode < kCodes ? m_Texts[nCode] : 0;
}

long CountingSink::Errors() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_nErrors;
}

bool CountingSink::WaitForListEnds(long count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    return m_Changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_nListEnds >= count; });
}
