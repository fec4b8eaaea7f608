#ifndef ZYM_TESTS_EVENTRECORDER_H
#define ZYM_TESTS_EVENTRECORDER_H

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ExtendedChatEventSink.h"

// One call the component made on its sink.
struct RecordedEvent
{
    enum Kind
    {
        Event,
        Text,
        Error,
        // NotifyDetails: text holds "[channel] [nickname] [source] [text]
        // [account] [msgid]", time the details' time.
        Detail
    };
    Kind kind;
    int nCode;
    // The value of NotifyEvent.
    int nValue;
    // NotifyText and ReportError; bNullText when the component passed null.
    std::string text;
    bool bNullText;
    std::thread::id threadId;
    std::string time = std::string();
};

// A sink that records every call, from any thread, and answers ReportError
// with a chosen value. Every wait is bounded by its timeout in milliseconds.
// Handed over with SetEventSink it is a sink of today's interface; with
// SetExtendedEventSink it also records details.
class EventRecorder : public ExtendedChatEventSink
{
public:
    explicit EventRecorder(int nErrorAnswer = 0) : m_nErrorAnswer(nErrorAnswer) {}
    virtual ~EventRecorder() {}

    void NotifyEvent(int nCode, int nValue) override;
    void NotifyText(int nCode, const char* pszText) override;
    int ReportError(int nCode, const char* pszText) override;
    void NotifyDetails(int nCode, const ChatEventDetails* pDetails) override;

    void SetErrorAnswer(int nAnswer);
    std::vector<RecordedEvent> Events() const;
    size_t Count() const;
    // True once at least nCount calls have been recorded.
    bool WaitForCount(size_t nCount, int nTimeoutMs);
    // True once a call of that kind and code has been recorded.
    bool WaitFor(RecordedEvent::Kind kind, int nCode, int nTimeoutMs);
    // True once a NotifyText with this code and text has been recorded.
    bool WaitForText(int nCode, const std::string& text, int nTimeoutMs);
    bool WaitForError(int nCode, int nTimeoutMs);

    // The texts of the NotifyText calls with this code, in order.
    std::vector<std::string> Texts(int nCode) const;
    std::vector<RecordedEvent> Errors() const;
    // The recorded details with this code, in order.
    std::vector<RecordedEvent> Details(int nCode) const;
    void Clear();

    // Called inside NotifyText after the call is recorded, on the thread
    // that notifies: a host that acts on the component from its sink.
    std::function<void(int, const char*)> onText;

private:
    void Record(const RecordedEvent& event);
    template <class Match>
    bool WaitUntilRecorded(Match match, int nTimeoutMs);

    int m_nErrorAnswer;
    std::vector<RecordedEvent> m_Events;
    mutable std::mutex m_Mutex;
    std::condition_variable m_Changed;
};

#endif
