#ifndef RECORDINGSINK_H
#define RECORDINGSINK_H

#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "ComponentInterfaces/ExtendedChatEventSink.h"
#include "EventRecord.h"

// A host's sink that copies every call into a record, hands it to an optional
// observer (for printing) and lets other threads wait, with a time limit, for
// a record that matches. The component calls it from its background thread,
// and for the list and names events from the host's own thread. It serves a
// host of either interface: handed over with SetEventSink it is a plain
// ChatEventSink, with SetExtendedEventSink it also records details.
class RecordingSink : public ExtendedChatEventSink
{
public:
    typedef std::function<void(const EventRecord&)> Observer;
    typedef std::function<bool(const EventRecord&)> Match;

    // keep false: records are only observed, not kept (a long session).
    explicit RecordingSink(bool keep = true);
    ~RecordingSink();

    void SetObserver(Observer observer);
    // What ReportError answers; 0 lets the component carry on.
    void SetErrorAnswer(int answer);

    void NotifyEvent(int nCode, int nValue) override;
    void NotifyText(int nCode, const char* pszText) override;
    int ReportError(int nCode, const char* pszText) override;
    void NotifyDetails(int nCode, const ChatEventDetails* pDetails) override;

    // Number of records so far; a later wait can start behind them.
    size_t Count() const;
    // Waits until a record at or after index from matches, for at most
    // timeoutMs milliseconds. True when one does.
    bool WaitFor(const Match& match, int timeoutMs, size_t from = 0) const;
    // How many records at or after index from match.
    size_t CountMatching(const Match& match, size_t from = 0) const;
    std::vector<EventRecord> Records() const;

private:
    RecordingSink(const RecordingSink&) = delete;
    RecordingSink& operator=(const RecordingSink&) = delete;

    void Add(const EventRecord& record);

    const bool m_bKeep;
    mutable std::mutex m_Mutex;
    mutable std::condition_variable m_Changed;
    std::vector<EventRecord> m_Records;
    Observer m_Observer;
    int m_nErrorAnswer;
};

#endif
