#include "ChatSession.h"

#include <ctime>
#include <string>

#include "ChannelEntry.h"
#include "ChatEventSink.h"
#include "ExtendedChatEventSink.h"
#include "IrcMessage.h"
#include "OutgoingLine.h"

namespace
{
    int Now()
    {
        return static_cast<int>(std::time(nullptr));
    }

    std::string MemberText(const ZymString& hostName, const std::string& nickname)
    {
        return std::string(hostName.Text()) + " " + nickname;
    }
}

void ChatSession::OnJoin(const IrcMessage& message, SessionOutput& out)
{
    // ":nick!user@host JOIN channel"
    const std::string& channel = message.Parameter(0);
    if (!message.HasPrefix() || channel.empty())
        return;
    const std::string& nickname = message.Source();

    if (IsOwnNicknameHeld(nickname))
    {
        ResolveOwnJoin(ZymString(channel.c_str()), out);
        return;
    }

    ZymString hostName;
    if (HostNameOfHeld(channel, hostName))
        out.Notify(CHAT_EVENT_MEMBER, MemberText(hostName, nickname));
    else
        out.Log("---> We just got a join from a channel we don't think we're in: %s, %d\n",
                channel.c_str(), Now());
    AddMember(nickname, channel);
}

void ChatSession::OnPart(const IrcMessage& message, SessionOutput& out)
{
    // ":nick!user@host PART channel [:reason]"
    const std::string& channel = message.Parameter(0);
    if (!message.FromUser() || channel.empty())
        return;
    const std::string& nickname = message.Source();

    if (IsOwnNicknameHeld(nickname))
    {
        HandleOwnPart(ZymString(channel.c_str()));
        return;
    }

    ZymString hostName;
    if (HostNameOfHeld(channel, hostName))
        out.Notify(CHAT_EVENT_PART, MemberText(hostName, nickname));
    else
        out.Log("---> Just got a PART message from a channel we don't think we're in: %s, %d\n",
                channel.c_str(), Now());
    m_Members.Remove(MemberKey(nickname), MemberKey(channel));
}

void ChatSession::OnNick(const IrcMessage& message, SessionOutput& out)
{
    // ":old!user@host NICK new"
    const std::string& oldName = message.Source();
    const std::string& newName = message.Parameter(0);
    if (!message.FromUser() || newName.empty())
        return;

    const std::string base = oldName + " " + newName + " ";
    {
        // A server may rename us without being asked, and confirms a rename
        // we asked for the same way: our own lines are recognised by it.
        if (IsOwnNicknameHeld(oldName))
        {
            m_ConfirmedNickname = ZymString(newName.c_str());
            // A name that no NICK line can carry would make the next login
            // refuse its own NICK line: the one we have stays for it.
            if (OutgoingLine::IsSendableNickname(newName.c_str()))
                m_Nickname = m_ConfirmedNickname;
        }
        for (const std::string& channel : m_Members.Rename(MemberKey(oldName), MemberKey(newName)))
        {
            ZymString hostName;
            if (!HostNameOfHeld(channel, hostName))
                continue;
            out.Notify(CHAT_EVENT_NICK, base + hostName.Text());
        }
    }
}

void ChatSession::OnNamesReply(const IrcMessage& message, SessionOutput& out)
{
    // ":server 353 nick [type] channel :names": the channel stands before
    // the list, whether the type word is there (RFC 2812) or not (RFC 1459).
    size_t nCount = message.ParameterCount();
    if (nCount < 3)
        return;
    const std::string& channel = message.Parameter(nCount - 2);
    const std::string& names = message.Parameter(nCount - 1);

    {
        ZymString hostName;
        if (!HostNameOfHeld(channel, hostName))
        {
            out.Log("---> Got a name for a channel we don't think we're in: %s, %d\n",
                channel.c_str(), Now());
            return;
        }
        // userhost-in-names: "nick!user@host"; a nickname holds no "!".
        const bool bWithHosts = m_Caps.Enabled("userhost-in-names");
        std::string::size_type nAt = names.find_first_not_of(' ');
        while (nAt != std::string::npos)
        {
            std::string::size_type nEnd = names.find(' ', nAt);
            std::string name = names.substr(nAt, nEnd - nAt);
            if (bWithHosts)
                name = name.substr(0, name.find('!'));
            // The host hears the name as the server wrote it; the member is
            // the nickname without the marks of its standing.
            out.Notify(CHAT_EVENT_MEMBER, MemberText(hostName, name));
            AddMember(m_ServerRules.WithoutMemberMarks(name), channel);
            nAt = nEnd == std::string::npos ? nEnd : names.find_first_not_of(' ', nEnd);
        }
    }
}

void ChatSession::OnKick(const IrcMessage& message, SessionOutput& out)
{
    // ":op!u@h KICK channel nick [:reason]"
    const std::string& channel = message.Parameter(0);
    const std::string& victim = message.Parameter(1);
    if (channel.empty() || victim.empty())
        return;

    SessionOutput::Detail detail = DetailOf(message, CHAT_EVENT_KICK);
    detail.m_Channel = ChannelForHost(channel);
    detail.m_Nickname = victim;
    detail.m_Text = message.Parameter(2);
    out.NotifyDetail(detail);

    if (!IsOwnNicknameHeld(victim))
    {
        m_Members.Remove(MemberKey(victim), MemberKey(channel));
        return;
    }
    // Kicked ourselves. The extended host is told, so the channel leaves
    // the table and must be joined again. Today's host is not: for it the
    // channel stays listed, like after a PART we did not ask for, and none
    // of its members are ours to know any more.
    ZymString hostName;
    if (m_bExtendedHost && HostNameOfHeld(channel, hostName) && m_Channels.hasKey(hostName))
    {
        ChannelEntry* pEntry = m_Channels.lookup(hostName);
        m_Channels.remove(hostName);
        delete pEntry;
        ForgetChannelHeld(hostName);
    }
    m_Members.RemoveChannel(MemberKey(channel));
}

void ChatSession::OnQuit(const IrcMessage& message, SessionOutput& out)
{
    if (!message.FromUser())
        return;
    m_Members.RemoveNickname(MemberKey(message.Source()));
    SessionOutput::Detail detail = DetailOf(message, CHAT_EVENT_QUIT);
    detail.m_Nickname = message.Source();
    detail.m_Source.clear();
    detail.m_Text = message.Parameter(0);
    out.NotifyDetail(detail);
}
