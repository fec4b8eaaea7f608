#include "SessionUnderTest.h"

#include "ChatEventSink.h"
#include "IrcMessage.h"

SessionUnderTest::SessionUnderTest(const char* pszNickname) : m_Session(m_Counts, m_Crypto)
{
    m_Session.SetNickname(pszNickname, m_Out);
    Collect();
}

void SessionUnderTest::Collect()
{
    for (const std::string& line : m_Out.Lines())
    {
        m_Counts.CountQueued();
        m_Lines.push_back(line);
    }
    for (const SessionOutput::Event& event : m_Out.Events())
        m_Events.push_back(event);
    m_Details.insert(m_Details.end(), m_Out.Details().begin(), m_Out.Details().end());
    m_Failures.insert(m_Failures.end(), m_Out.Failures().begin(), m_Out.Failures().end());
    m_bEnded = m_bEnded || m_Out.EndsConnection();
    m_Out = SessionOutput();
}

void SessionUnderTest::Dispatch(const std::string& line)
{
    Collect();
    IrcMessage message;
    if (message.Parse(line.c_str()))
        m_Session.Handle(message, m_Out);
    Collect();
}

void SessionUnderTest::Welcome()
{
    Dispatch(":irc.test 002 " + m_Session.Nickname() + " :Your host is irc.test");
}

void SessionUnderTest::JoinConfirmed(const std::string& hostName, const std::string& serverName)
{
    m_Session.JoinChannel(hostName.c_str(), 0, m_Out);
    Dispatch(":" + m_Session.Nickname() + "!user@127.0.0.1 JOIN :" + serverName);
    TakeLines();
}

std::vector<std::string> SessionUnderTest::Heard(int nCode)
{
    Collect();
    std::vector<std::string> texts;
    for (const SessionOutput::Event& event : m_Events)
    {
        if (event.m_nCode == nCode)
            texts.push_back(event.m_Text);
    }
    return texts;
}

std::vector<std::string> SessionUnderTest::TakeLines()
{
    Collect();
    std::vector<std::string> lines;
    lines.swap(m_Lines);
    for (size_t i = 0; i < lines.size(); ++i)
        m_Counts.CountTaken();
    return lines;
}

void SessionUnderTest::Clear()
{
    Collect();
    m_Events.clear();
    m_Details.clear();
    m_Failures.clear();
    m_bEnded = false;
}

void SessionUnderTest::LogIn(bool bSecureLink, bool bClientCertificate)
{
    Collect();
    m_Session.LoginLines(bSecureLink, bClientCertificate, m_Out);
    Collect();
}

const std::vector<SessionOutput::Detail>& SessionUnderTest::Details()
{
    Collect();
    return m_Details;
}

const std::vector<SessionOutput::Failure>& SessionUnderTest::Failures()
{
    Collect();
    return m_Failures;
}

bool SessionUnderTest::EndedConnection()
{
    Collect();
    return m_bEnded;
}

std::string SessionUnderTest::SendsTo(const std::string& hostName)
{
    TakeLines();
    SessionOutput out;
    if (!m_Session.ChannelMessage(hostName.c_str(), "probe", out))
        return "-";
    const std::string head = "PRIVMSG ";
    const std::string tail = " :probe";
    if (out.Lines().size() != 1)
        return "?";
    const std::string& line = out.Lines()[0];
    if (line.compare(0, head.size(), head) != 0 || line.size() < head.size() + tail.size() ||
        line.compare(line.size() - tail.size(), tail.size(), tail) != 0)
        return "?";
    return line.substr(head.size(), line.size() - head.size() - tail.size());
}

std::string SessionUnderTest::ReachesHostAs(const std::string& serverName)
{
    IrcMessage message;
    message.Parse((":probe!p@h PRIVMSG " + serverName + " :probe").c_str());
    SessionOutput out;
    m_Session.Handle(message, out);
    const std::string tail = " probe probe";
    if (out.Events().empty())
        return "-";
    const std::string& text = out.Events()[0].m_Text;
    if (out.Events().size() != 1 || out.Events()[0].m_nCode != CHAT_EVENT_MESSAGE ||
        text.size() < tail.size())
        return "?";
    return text.substr(0, text.size() - tail.size());
}
