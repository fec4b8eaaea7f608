#ifndef ZYM_TESTS_RECORDINGSINK_H
#define ZYM_TESTS_RECORDINGSINK_H

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ChatEventSink.h"

// One call the component made on its sink.
struct SinkCall
{
    enum Kind { Event, Text, Error };
    Kind kind;
    int nCode;
    // NotifyEvent's value; 1 for a text call with a text, 0 for a null text.
    int nValue;
    std::string text;
};

// A sink that records every call, from any thread, and answers ReportError
// with a value the test chooses.
class RecordingSink : public ChatEventSink
{
public:
    explicit RecordingSink(int nErrorAnswer = 0) : m_nErrorAnswer(nErrorAnswer) {}
    virtual ~RecordingSink() {}

    virtual void NotifyEvent(int nCode, int nValue);
    virtual void NotifyText(int nCode, const char* pszText);
    virtual int ReportError(int nCode, const char* pszText);

    std::vector<SinkCall> Calls() const;
    // The texts of the NotifyText calls with this code, in order.
    std::vector<std::string> Texts(int nCode) const;
    std::vector<SinkCall> Errors() const;
    void Clear();

    // True once a NotifyText with this code and text has arrived.
    bool WaitForText(int nCode, const std::string& text, int nTimeoutMs);
    bool WaitForError(int nCode, int nTimeoutMs);

    // Called inside NotifyText after the call is recorded, on the thread
    // that notifies: a host that acts on the component from its sink.
    std::function<void(int, const char*)> onText;

private:
    void Record(const SinkCall& call);

    int m_nErrorAnswer;
    std::vector<SinkCall> m_Calls;
    mutable std::mutex m_Mutex;
    std::condition_variable m_Changed;
};

#endif
