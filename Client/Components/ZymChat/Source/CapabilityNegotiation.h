#ifndef ZYM_CAPABILITYNEGOTIATION_H
#define ZYM_CAPABILITYNEGOTIATION_H

#include <map>
#include <set>
#include <string>
#include <vector>

// The capabilities of one connection (IRCv3 CAP, version 302): what the
// server offers with their values, what is in effect, and how far the
// negotiation at login has come.
class CapabilityNegotiation
{
public:
    enum class Phase
    {
        // No negotiation: not logged in, or a server that does not know CAP.
        Off,
        // "CAP LS 302" sent; the list may come in several lines.
        Listing,
        // "CAP REQ" sent; waiting for ACK or NAK.
        Requesting,
        // SASL under way.
        Authenticating,
        // "CAP END" sent, or the server welcomed us without CAP.
        Done
    };

    Phase Stage() const { return m_Phase; }
    void SetStage(Phase phase) { m_Phase = phase; }
    // A new login: nothing offered, nothing in effect.
    void Begin();
    void End();

    // A space-separated list of "name" or "name=value" from LS or NEW; only
    // the names we could ask for are kept, however many the server lists.
    void AddOffered(const std::string& list, const std::vector<std::string>& known);
    // The wanted ones offered, neither in effect nor asked for already, in
    // the order wanted.
    std::vector<std::string> Missing(const std::vector<std::string>& wanted) const;
    bool Offered(const std::string& name) const;
    const std::string& OfferedValue(const std::string& name) const;

    // A request of these names went out.
    void Requested(const std::vector<std::string>& names);
    // ACK: each name asked for and not yet answered takes effect; a name
    // never asked for (or "-name": we ask for none to leave) is no answer
    // of ours and changes nothing. NAK: nothing takes effect. Each closes
    // one open request.
    void Acknowledged(const std::string& list);
    void Refused(const std::string& list);
    bool RequestsOpen() const { return m_nRequestsOpen > 0; }
    // DEL: the server withdrew them.
    void Withdrawn(const std::string& list);

    bool Enabled(const std::string& name) const { return m_Enabled.count(name) != 0; }
    // The names in effect, sorted, separated by one blank.
    std::string EnabledText() const;

private:
    Phase m_Phase = Phase::Off;
    std::map<std::string, std::string> m_Offered;
    std::set<std::string> m_Enabled;
    // Asked for, not yet acknowledged or refused.
    std::set<std::string> m_Asked;
    int m_nRequestsOpen = 0;
};

#endif
