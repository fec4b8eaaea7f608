#ifndef ZYM_SESSIONOUTPUT_H
#define ZYM_SESSIONOUTPUT_H

#include <string>
#include <vector>

// What one call of the chat session asks of the component: lines to queue
// for the server, events for the host (and for an extended host, events with
// details), failures to report, entries for the diagnostic log, and whether
// the connection must end. The component queues the lines first, in order,
// then writes the entries, then tells the host, so that the host's answers to
// an event queue behind them.
class SessionOutput
{
public:
    struct Event
    {
        int m_nCode;
        std::string m_Text;
        // The host hears a null text.
        bool m_bNullText;
    };

    // The fields of ChatEventDetails, owned.
    struct Detail
    {
        int m_nCode;
        std::string m_Channel;
        std::string m_Nickname;
        std::string m_Source;
        std::string m_Text;
        std::string m_Account;
        std::string m_Time;
        std::string m_MessageId;
        // How many events were asked for before this one: the host hears
        // events and details in the order the session asked for them.
        size_t m_nEventsBefore;
    };

    struct Failure
    {
        int m_nCode;
        std::string m_Text;
    };

    // A line the component would refuse to queue is refused here, with the
    // same log entry: the session counts what it sends to know when the
    // server has seen it, so only lines that will really be queued count.
    void Send(const std::string& line);
    // Whether Send refused a line: the host's operation then reports that
    // its line did not go out.
    bool Refused() const { return m_bRefused; }
    void Notify(int nCode, const std::string& text) { m_Events.push_back({nCode, text, false}); }
    void NotifyWithoutText(int nCode) { m_Events.push_back({nCode, std::string(), true}); }
    // Heard only by a host of the extended sink.
    void NotifyDetail(const Detail& detail);
    // Reported with ReportError after the events; a nonzero answer ends the
    // connection.
    void ReportFailure(int nCode, const std::string& text) { m_Failures.push_back({nCode, text}); }
    // The connection ends with QUIT once the lines before it have gone out.
    void EndConnection() { m_bEndConnection = true; }
    // A log entry, formatted as printf does.
    void Log(const char* pszFormat, ...);

    const std::vector<std::string>& Lines() const { return m_Lines; }
    const std::vector<Event>& Events() const { return m_Events; }
    const std::vector<std::string>& LogEntries() const { return m_LogEntries; }
    const std::vector<Detail>& Details() const { return m_Details; }
    const std::vector<Failure>& Failures() const { return m_Failures; }
    bool EndsConnection() const { return m_bEndConnection; }

private:
    std::vector<std::string> m_Lines;
    std::vector<Event> m_Events;
    std::vector<std::string> m_LogEntries;
    std::vector<Detail> m_Details;
    std::vector<Failure> m_Failures;
    bool m_bRefused = false;
    bool m_bEndConnection = false;
};

#endif
