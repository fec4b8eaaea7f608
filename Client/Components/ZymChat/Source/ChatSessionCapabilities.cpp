#include "ChatSession.h"

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "Base64.h"
#include "EventTime.h"
#include "ExtendedChatEventSink.h"
#include "IrcMessage.h"
#include "ScopedThreadLock.h"

namespace
{
    typedef CapabilityNegotiation::Phase Phase;

    // What an extended host is offered; each is parsed by its message type.
    const char* const kExtendedCapabilities[] = {
        "multi-prefix",  "server-time",       "message-tags",  "account-tag",
        "away-notify",   "account-notify",    "extended-join", "chghost",
        "batch",         "invite-notify",     "userhost-in-names", "cap-notify",
    };

    const size_t kSaslChunk = 400;

    // Every name any host or login of ours may ask for.
    const std::vector<std::string>& KnownCapabilities()
    {
        static const std::vector<std::string> known = [] {
            std::vector<std::string> names(std::begin(kExtendedCapabilities),
                                           std::end(kExtendedCapabilities));
            names.push_back("echo-message");
            names.push_back("sasl");
            return names;
        }();
        return known;
    }
}

void ChatSession::SetExtendedHost(bool bExtended)
{
    ScopedThreadLock hold(m_TableLock);
    m_bExtendedHost = bExtended;
}

bool ChatSession::RequestCapability(const char* pszName)
{
    if (pszName == nullptr || std::strcmp(pszName, "echo-message") != 0)
        return false;
    ScopedThreadLock hold(m_TableLock);
    m_bEchoWanted = true;
    return true;
}

bool ChatSession::SetSaslLogin(const char* pszMechanism, const char* pszAccount,
                               const char* pszPassword, int nFlags)
{
    ScopedThreadLock hold(m_TableLock);
    return m_Sasl.Configure(pszMechanism, pszAccount, pszPassword, nFlags);
}

std::vector<std::string> ChatSession::WantedCapabilities() const
{
    std::vector<std::string> wanted;
    if (!m_bExtendedHost)
        return wanted;
    for (const char* pszName : kExtendedCapabilities)
        wanted.push_back(pszName);
    if (m_bEchoWanted)
        wanted.push_back("echo-message");
    // SASL belongs to the login: a server offering it later changes nothing.
    if (m_Caps.Stage() == Phase::Listing && SaslPossible())
        wanted.push_back("sasl");
    return wanted;
}

bool ChatSession::SaslPossible() const
{
    return m_Sasl.Configured() && m_Caps.Offered("sasl") &&
           m_Sasl.OfferedIn(m_Caps.OfferedValue("sasl")) &&
           m_Sasl.UsableOver(m_bSecureLink, m_bClientCertificate);
}

void ChatSession::OnCap(const IrcMessage& message, SessionOutput& out)
{
    // ":server CAP nick SUBCOMMAND [*] :list"; "*" before the list says more
    // lines of it follow.
    size_t nCount = message.ParameterCount();
    if (nCount < 3 || m_Caps.Stage() == Phase::Off)
        return;
    const std::string& subcommand = message.Parameter(1);
    const std::string& list = message.Parameter(nCount - 1);
    bool bMore = nCount >= 4 && message.Parameter(2) == "*";

    if (subcommand == "LS")
    {
        if (m_Caps.Stage() != Phase::Listing)
            return;
        m_Caps.AddOffered(list, KnownCapabilities());
        if (bMore)
            return;
        if (m_Sasl.Configured())
        {
            m_bSaslPending = true;
            if (!m_Caps.Offered("sasl") || !m_Sasl.OfferedIn(m_Caps.OfferedValue("sasl")))
                SaslFailed(-1010, std::string("-1010 the server offers no SASL ") +
                                      m_Sasl.MechanismName(),
                           out);
            else if (!m_Sasl.UsableOver(m_bSecureLink, m_bClientCertificate))
                SaslFailed(-1011,
                           m_bSecureLink ? "-1011 no SASL EXTERNAL without a client certificate"
                                         : std::string("-1011 no SASL ") +
                                               m_Sasl.MechanismName() + " login without TLS",
                           out);
            if (out.EndsConnection())
                return;
        }
        RequestOffered(out);
    }
    else if (subcommand == "ACK" || subcommand == "NAK")
    {
        if (subcommand == "ACK")
            m_Caps.Acknowledged(list);
        else
            m_Caps.Refused(list);
        NotifyCapabilities(out);
        if (m_Caps.Stage() == Phase::Requesting && !m_Caps.RequestsOpen())
            AfterRequests(out);
    }
    else if (subcommand == "NEW")
    {
        m_Caps.AddOffered(list, KnownCapabilities());
        if (m_Caps.Stage() == Phase::Done)
            RequestOffered(out);
    }
    else if (subcommand == "DEL")
    {
        m_Caps.Withdrawn(list);
        NotifyCapabilities(out);
    }
}

void ChatSession::OnCapUnknown(const IrcMessage& message)
{
    // ":server 421 nick CAP :Unknown command": the login goes on as it did
    // before there was CAP.
    if (message.Parameter(1) == "CAP" && m_Caps.Stage() != Phase::Done)
        m_Caps.SetStage(Phase::Off);
}

void ChatSession::RequestOffered(SessionOutput& out)
{
    std::vector<std::string> missing = m_Caps.Missing(WantedCapabilities());
    if (missing.empty())
    {
        if (m_Caps.Stage() == Phase::Listing)
            AfterRequests(out);
        return;
    }
    std::string line = "CAP REQ :";
    for (size_t i = 0; i < missing.size(); ++i)
        line += (i == 0 ? "" : " ") + missing[i];
    out.Send(line);
    m_Caps.Requested(missing);
    if (m_Caps.Stage() == Phase::Listing)
        m_Caps.SetStage(Phase::Requesting);
}

void ChatSession::AfterRequests(SessionOutput& out)
{
    if (m_Sasl.Configured() && m_Caps.Enabled("sasl"))
    {
        if (!m_Sasl.Begin())
        {
            SaslFailed(-1012, "-1012 no SASL nonce could be made", out);
            return;
        }
        m_Caps.SetStage(Phase::Authenticating);
        out.Send(std::string("AUTHENTICATE ") + m_Sasl.MechanismName());
        return;
    }
    // Asked for but refused (NAK).
    if (SaslPossible())
    {
        SaslFailed(-1010, "-1010 the server refused the sasl capability", out);
        return;
    }
    EndNegotiation(out);
}

void ChatSession::EndNegotiation(SessionOutput& out)
{
    out.Send("CAP END");
    m_Caps.SetStage(Phase::Done);
}

void ChatSession::SaslFailed(int nCode, const std::string& text, SessionOutput& out)
{
    out.ReportFailure(nCode, text);
    m_bSaslPending = false;
    if (m_Sasl.Required())
    {
        // Without the account the server must not see us log in at all.
        out.EndConnection();
        m_Caps.SetStage(Phase::Done);
        m_bLoginRefused = true;
    }
    else if (m_Caps.Stage() == Phase::Authenticating || m_Caps.Stage() == Phase::Requesting)
        EndNegotiation(out);
}

void ChatSession::OnAuthenticate(const IrcMessage& message, SessionOutput& out)
{
    if (m_Caps.Stage() != Phase::Authenticating || message.ParameterCount() < 1)
        return;
    if (!m_Sasl.AddChunk(message.Parameter(0)))
        return;
    std::string response;
    if (!m_Sasl.Answer(response))
    {
        // The server answers the abort with 906; the failure is ours.
        out.Send("AUTHENTICATE *");
        SaslFailed(-1012, "-1012 the SASL server's answer is malformed or unproved", out);
        return;
    }
    SendAuthenticate(Base64::Encode(response), out);
}

void ChatSession::SendAuthenticate(const std::string& message, SessionOutput& out)
{
    // A message of a multiple of 400 characters (the empty one included)
    // ends with "+".
    for (size_t nAt = 0; nAt < message.size(); nAt += kSaslChunk)
        out.Send("AUTHENTICATE " + message.substr(nAt, kSaslChunk));
    if (message.size() % kSaslChunk == 0)
        out.Send("AUTHENTICATE +");
}

void ChatSession::OnSaslNumeric(const IrcMessage& message, SessionOutput& out)
{
    int nNumeric = message.Numeric();
    size_t nCount = message.ParameterCount();
    if (nNumeric == 900)
    {
        // ":server 900 nick nick!user@host account :You are now logged in"
        SessionOutput::Detail detail = DetailOf(message, CHAT_EVENT_LOGGED_IN);
        detail.m_Nickname = message.Parameter(0);
        detail.m_Account = message.Parameter(2);
        detail.m_Text = message.Parameter(nCount - 1);
        out.NotifyDetail(detail);
        return;
    }
    if (nNumeric == 901 || m_Caps.Stage() != Phase::Authenticating)
        return;
    if (nNumeric == 903)
    {
        if (m_Sasl.ServerProved())
        {
            m_bSaslPending = false;
            EndNegotiation(out);
        }
        else
            SaslFailed(-1012, "-1012 the SASL server claimed success before the exchange ended",
                       out);
        return;
    }
    // 902 to 908: the server's words after our nickname, numeric first.
    std::string text = std::to_string(nNumeric);
    for (size_t i = 1; i < nCount; ++i)
        text += " " + message.Parameter(i);
    if (nNumeric == 908)
    {
        // The mechanisms the server has; its 904 follows.
        out.ReportFailure(nNumeric, text);
        return;
    }
    SaslFailed(nNumeric, text, out);
}

bool ChatSession::WelcomeAllowed(SessionOutput& out)
{
    if (m_bSaslPending && m_Sasl.Configured())
    {
        // Registration is over: no "CAP END" follows the failure.
        if (m_Caps.Stage() != Phase::Off)
            m_Caps.SetStage(Phase::Done);
        SaslFailed(-1010, "-1010 the server welcomed us without the SASL login", out);
    }
    return !m_bLoginRefused;
}

void ChatSession::NotifyCapabilities(SessionOutput& out)
{
    SessionOutput::Detail detail{};
    detail.m_nCode = CHAT_EVENT_CAPABILITIES;
    detail.m_Text = m_Caps.EnabledText();
    detail.m_Time = EventTime::Now();
    out.NotifyDetail(detail);
}
