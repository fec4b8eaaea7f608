#ifndef CONTRACT_CONTRACTSINK_H
#define CONTRACT_CONTRACTSINK_H

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "ChatEventSink.h"

namespace contract
{
// Records every sink call as "kind code text" lines ("text 1 #c nick hi",
// "event 11 0", "error 433 433-Nickname in use"; a null text is "(null)") and
// lets the test wait for one, bounded in time.
class ContractSink : public ChatEventSink
{
public:
    ContractSink();

    void SinkReserved1() override;
    void SinkReserved2() override;
    void NotifyEvent(int code, int value) override;
    void NotifyText(int code, const char* text) override;
    int ReportError(int code, const char* text) override;

    size_t Count() const;
    bool WaitFor(const std::string& line, size_t from = 0, int timeoutMs = 10000) const;
    // Waits for either of two lines.
    bool WaitForEither(const std::string& line, const std::string& other, size_t from = 0,
                       int timeoutMs = 10000) const;
    bool Has(const std::string& line, size_t from = 0) const;
    // Calls of the two reserved operations, which the component must not make.
    int ReservedCalls() const;

    static std::string Text(int code, const std::string& text);

private:
    void Add(const std::string& line);

    mutable std::mutex m_Mutex;
    mutable std::condition_variable m_Changed;
    std::vector<std::string> m_Lines;
    int m_nReservedCalls;
};
}

#endif
