#ifndef COUNTINGSINK_H
#define COUNTINGSINK_H

#include <condition_variable>
#include <mutex>

#include "ComponentInterfaces/ChatEventSink.h"

// A sink that only counts, so that the host's side costs the component's
// background thread as little as possible while it is being measured.
class CountingSink : public ChatEventSink
{
public:
    CountingSink();

    void NotifyEvent(int nCode, int nValue) override;
    void NotifyText(int nCode, const char* pszText) override;
    int ReportError(int nCode, const char* pszText) override;

    // Texts of one code received so far.
    long Texts(int nCode) const;
    long Errors() const;
    // Waits up to timeoutMs for the count-th end of a channel list.
    bool WaitForListEnds(long count, int timeoutMs) const;

private:
    static const int kCodes = 16;

    mutable std::mutex m_Mutex;
    mutable std::condition_variable m_Changed;
    long m_Texts[kCodes];
    long m_nListEnds;
    long m_nErrors;
};

#endif
