#ifndef ZYM_SESSIONOUTPUT_H
#define ZYM_SESSIONOUTPUT_H

#include <string>
#include <vector>

// What one call of the chat session asks of the component: lines to queue
// for the server, events for the host, entries for the diagnostic log. The
// component queues the lines first, in order, then writes the entries, then
// tells the host, so that the host's answers to an event queue behind them.
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

    void Send(const std::string& line) { m_Lines.push_back(line); }
    void Notify(int nCode, const std::string& text) { m_Events.push_back({nCode, text, false}); }
    void NotifyWithoutText(int nCode) { m_Events.push_back({nCode, std::string(), true}); }
    // A log entry, formatted as printf does.
    void Log(const char* pszFormat, ...);

    const std::vector<std::string>& Lines() const { return m_Lines; }
    const std::vector<Event>& Events() const { return m_Events; }
    const std::vector<std::string>& LogEntries() const { return m_LogEntries; }

private:
    std::vector<std::string> m_Lines;
    std::vector<Event> m_Events;
    std::vector<std::string> m_LogEntries;
};

#endif
