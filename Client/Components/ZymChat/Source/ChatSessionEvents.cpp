#include "ChatSession.h"

#include <string>

#include "ChannelEntry.h"
#include "EventTime.h"
#include "ExtendedChatEventSink.h"
#include "IrcMessage.h"

SessionOutput::Detail ChatSession::DetailOf(const IrcMessage& message, int nCode) const
{
    SessionOutput::Detail detail{};
    detail.m_nCode = nCode;
    const std::string* pTime = message.TagValue("time");
    detail.m_Time = pTime != nullptr && m_Caps.Enabled("server-time") && EventTime::IsStamp(*pTime)
                        ? *pTime
                        : EventTime::Now();
    if (const std::string* pId = message.TagValue("msgid"))
        detail.m_MessageId = *pId;
    if (const std::string* pAccount = message.TagValue("account"))
        detail.m_Account = *pAccount;
    if (message.FromUser())
        detail.m_Source = message.Source();
    return detail;
}

std::string ChatSession::ChannelForHost(const std::string& serverName) const
{
    ZymString hostName;
    return HostNameOfHeld(serverName, hostName) ? std::string(hostName.Text()) : serverName;
}

void ChatSession::OnTopic(const IrcMessage& message, SessionOutput& out)
{
    // ":nick!user@host TOPIC channel :topic"
    if (!message.FromUser() || message.ParameterCount() < 1)
        return;
    SessionOutput::Detail detail = DetailOf(message, CHAT_EVENT_TOPIC);
    detail.m_Channel = ChannelForHost(message.Parameter(0));
    detail.m_Text = message.Parameter(1);
    out.NotifyDetail(detail);
}

void ChatSession::OnTopicNumeric(const IrcMessage& message, SessionOutput& out)
{
    // ":server 332 nick channel :topic" and
    // ":server 333 nick channel setter seconds"
    if (message.ParameterCount() < 3)
        return;
    bool bSetter = message.Numeric() == 333;
    SessionOutput::Detail detail =
        DetailOf(message, bSetter ? CHAT_EVENT_TOPIC_SETTER : CHAT_EVENT_TOPIC);
    detail.m_Channel = ChannelForHost(message.Parameter(1));
    if (bSetter)
    {
        // The setter may be a whole prefix.
        const std::string& setter = message.Parameter(2);
        detail.m_Source = setter.substr(0, setter.find('!'));
        detail.m_Text = EventTime::FromUnixSeconds(message.Parameter(3));
    }
    else
        detail.m_Text = message.Parameter(2);
    out.NotifyDetail(detail);
}

void ChatSession::OnMode(const IrcMessage& message, SessionOutput& out)
{
    // ":source MODE target modes {argument}"
    size_t nCount = message.ParameterCount();
    if (!message.HasPrefix() || nCount < 2)
        return;
    SessionOutput::Detail detail = DetailOf(message, CHAT_EVENT_MODE);
    if (!message.FromUser())
        detail.m_Source = message.Source();
    const std::string& target = message.Parameter(0);
    if (m_ServerRules.IsChannel(target))
        detail.m_Channel = ChannelForHost(target);
    else
        detail.m_Nickname = target;
    for (size_t i = 1; i < nCount; ++i)
        detail.m_Text += (i == 1 ? "" : " ") + message.Parameter(i);
    out.NotifyDetail(detail);
}

void ChatSession::OnUserState(const IrcMessage& message, SessionOutput& out)
{
    // ":nick!user@host AWAY [:text]", "... ACCOUNT account|*",
    // "... CHGHOST user host"
    if (!message.FromUser())
        return;
    SessionOutput::Detail detail{};
    if (message.CommandIs("AWAY"))
    {
        detail = DetailOf(message, CHAT_EVENT_AWAY);
        detail.m_Text = message.Parameter(0);
    }
    else if (message.CommandIs("ACCOUNT"))
    {
        if (message.ParameterCount() < 1)
            return;
        detail = DetailOf(message, CHAT_EVENT_ACCOUNT);
        const std::string& account = message.Parameter(0);
        detail.m_Account = account == "*" ? std::string() : account;
    }
    else
    {
        if (message.ParameterCount() < 2)
            return;
        detail = DetailOf(message, CHAT_EVENT_HOST_CHANGE);
        detail.m_Text = message.Parameter(0) + " " + message.Parameter(1);
    }
    detail.m_Nickname = message.Source();
    detail.m_Source.clear();
    out.NotifyDetail(detail);
}
