#include "EventRecorder.h"

#include <windows.h>

#include <chrono>

void EventRecorder::NotifyEvent(int nCode, int nValue)
{
    Record({RecordedEvent::Event, nCode, nValue, std::string(), true, GetCurrentThreadId()});
}

void EventRecorder::NotifyText(int nCode, const char* pszText)
{
    Record({RecordedEvent::Text, nCode, 0, pszText != nullptr ? pszText : "", pszText == nullptr,
            GetCurrentThreadId()});
}

int EventRecorder::ReportError(int nCode, const char* pszText)
{
    Record({RecordedEvent::Error, nCode, 0, pszText != nullptr ? pszText : "", pszText == nullptr,
            GetCurrentThreadId()});
    std::lock_guard<std::mutex> hold(m_Mutex);
    return m_nErrorAnswer;
}

void EventRecorder::SetErrorAnswer(int nAnswer)
{
    std::lock_guard<std::mutex> hold(m_Mutex);
    m_nErrorAnswer = nAnswer;
}

std::vector<RecordedEvent> EventRecorder::Events() const
{
    std::lock_guard<std::mutex> hold(m_Mutex);
    return m_Events;
}

size_t EventRecorder::Count() const
{
    std::lock_guard<std::mutex> hold(m_Mutex);
    return m_Events.size();
}

bool EventRecorder::WaitForCount(size_t nCount, int nTimeoutMs)
{
    std::unique_lock<std::mutex> hold(m_Mutex);
    return m_Changed.wait_for(hold, std::chrono::milliseconds(nTimeoutMs),
                              [&] { return m_Events.size() >= nCount; });
}

bool EventRecorder::WaitFor(RecordedEvent::Kind kind, int nCode, int nTimeoutMs)
{
    std::unique_lock<std::mutex> hold(m_Mutex);
    return m_Changed.wait_for(hold, std::chrono::milliseconds(nTimeoutMs), [&] {
        for (const RecordedEvent& event : m_Events)
        {
            if (event.kind == kind && event.nCode == nCode)
                return true;
        }
        return false;
    });
}

void EventRecorder::Record(const RecordedEvent& event)
{
    {
        std::lock_guard<std::mutex> hold(m_Mutex);
        m_Events.push_back(event);
    }
    m_Changed.notify_all();
}
