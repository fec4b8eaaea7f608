#include "EventRecorder.h"

#include <chrono>

void EventRecorder::NotifyEvent(int nCode, int nValue)
{
    Record({RecordedEvent::Event, nCode, nValue, std::string(), true, std::this_thread::get_id()});
}

void EventRecorder::NotifyText(int nCode, const char* pszText)
{
    Record({RecordedEvent::Text, nCode, 0, pszText != nullptr ? pszText : "", pszText == nullptr,
            std::this_thread::get_id()});
    if (onText)
        onText(nCode, pszText);
}

int EventRecorder::ReportError(int nCode, const char* pszText)
{
    Record({RecordedEvent::Error, nCode, 0, pszText != nullptr ? pszText : "", pszText == nullptr,
            std::this_thread::get_id()});
    std::lock_guard<std::mutex> hold(m_Mutex);
    return m_nErrorAnswer;
}

void EventRecorder::NotifyDetails(int nCode, const ChatEventDetails* pDetails)
{
    std::string text;
    for (const char* pszField : {pDetails->pszChannel, pDetails->pszNickname, pDetails->pszSource,
                                 pDetails->pszText, pDetails->pszAccount, pDetails->pszMessageId})
        text += std::string(text.empty() ? "[" : " [") + pszField + "]";
    RecordedEvent event{RecordedEvent::Detail, nCode, pDetails->nSize, text, false,
                        std::this_thread::get_id()};
    event.time = pDetails->pszTime;
    Record(event);
}

std::vector<RecordedEvent> EventRecorder::Details(int nCode) const
{
    std::vector<RecordedEvent> details;
    for (const RecordedEvent& event : Events())
    {
        if (event.kind == RecordedEvent::Detail && event.nCode == nCode)
            details.push_back(event);
    }
    return details;
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

template <class Match>
bool EventRecorder::WaitUntilRecorded(Match match, int nTimeoutMs)
{
    std::unique_lock<std::mutex> hold(m_Mutex);
    return m_Changed.wait_for(hold, std::chrono::milliseconds(nTimeoutMs), [&] {
        for (const RecordedEvent& event : m_Events)
        {
            if (match(event))
                return true;
        }
        return false;
    });
}

bool EventRecorder::WaitFor(RecordedEvent::Kind kind, int nCode, int nTimeoutMs)
{
    return WaitUntilRecorded(
        [&](const RecordedEvent& event) { return event.kind == kind && event.nCode == nCode; },
        nTimeoutMs);
}

bool EventRecorder::WaitForText(int nCode, const std::string& text, int nTimeoutMs)
{
    return WaitUntilRecorded(
        [&](const RecordedEvent& event) {
            return event.kind == RecordedEvent::Text && event.nCode == nCode && event.text == text;
        },
        nTimeoutMs);
}

bool EventRecorder::WaitForError(int nCode, int nTimeoutMs)
{
    return WaitFor(RecordedEvent::Error, nCode, nTimeoutMs);
}

std::vector<std::string> EventRecorder::Texts(int nCode) const
{
    std::vector<std::string> texts;
    for (const RecordedEvent& event : Events())
    {
        if (event.kind == RecordedEvent::Text && event.nCode == nCode)
            texts.push_back(event.text);
    }
    return texts;
}

std::vector<RecordedEvent> EventRecorder::Errors() const
{
    std::vector<RecordedEvent> errors;
    for (const RecordedEvent& event : Events())
    {
        if (event.kind == RecordedEvent::Error)
            errors.push_back(event);
    }
    return errors;
}

void EventRecorder::Clear()
{
    std::lock_guard<std::mutex> hold(m_Mutex);
    m_Events.clear();
}

void EventRecorder::Record(const RecordedEvent& event)
{
    {
        std::lock_guard<std::mutex> hold(m_Mutex);
        m_Events.push_back(event);
    }
    m_Changed.notify_all();
}
