#include "ZymChat.h"

#include <ctime>
#include <string>

#include "IrcMessage.h"
#include "OutgoingLine.h"
#include "ScopedThreadLock.h"

namespace
{
    int Now()
    {
        return static_cast<int>(std::time(nullptr));
    }

    ZymString MemberText(const ZymString& hostName, const std::string& nickname)
    {
        ZymString text(hostName);
        text += " ";
        text += nickname.c_str();
        return text;
    }

    // Texts handed to the sink once the table lock is released.
    void Deliver(ChatEventSink* pSink, int nCode, TList<ZymString>& texts)
    {
        for (TList<ZymString>::ConstIterator it(texts); it.hasCurrent(); it.Step())
            pSink->NotifyText(nCode, it.iterator().Text());
    }
}

void ZymChat::OnJoin(const IrcMessage& message)
{
    // ":nick!user@host JOIN channel"
    const std::string& channel = message.Parameter(0);
    if (!message.HasPrefix() || channel.empty())
        return;
    const std::string& nickname = message.Source();

    ZymString serverName(channel.c_str());
    ZymString notice;
    bool bNotify = false;
    {
        ScopedThreadLock hold(m_TableLock);
        if (IsOwnNicknameHeld(nickname))
        {
            ResolveOwnJoin(serverName);
            return;
        }

        ZymString hostName;
        if (HostNameOfHeld(channel, hostName))
        {
            notice = MemberText(hostName, nickname);
            bNotify = true;
        }
        else
        {
            Log("---> We just got a join from a channel we don't think we're in: %s, %d\n",
                channel.c_str(), Now());
        }
        AddMember(nickname, channel);
    }
    if (bNotify)
        m_pEventSink->NotifyText(CHAT_EVENT_MEMBER, notice.Text());
}

void ZymChat::OnPart(const IrcMessage& message)
{
    // ":nick!user@host PART channel [:reason]"
    const std::string& channel = message.Parameter(0);
    if (!message.FromUser() || channel.empty())
        return;
    const std::string& nickname = message.Source();

    ZymString notice;
    bool bNotify = false;
    {
        ScopedThreadLock hold(m_TableLock);
        if (IsOwnNicknameHeld(nickname))
        {
            HandleOwnPart(ZymString(channel.c_str()));
            return;
        }

        ZymString hostName;
        if (HostNameOfHeld(channel, hostName))
        {
            notice = MemberText(hostName, nickname);
            bNotify = true;
        }
        else
        {
            Log("---> Just got a PART message from a channel we don't think we're in: %s, %d\n",
                channel.c_str(), Now());
        }
        m_Members.Remove(MemberKey(nickname), MemberKey(channel));
    }
    if (bNotify)
        m_pEventSink->NotifyText(CHAT_EVENT_PART, notice.Text());
}

void ZymChat::OnNick(const IrcMessage& message)
{
    // ":old!user@host NICK new"
    const std::string& oldName = message.Source();
    const std::string& newName = message.Parameter(0);
    if (!message.FromUser() || newName.empty())
        return;

    ZymString base(oldName.c_str());
    base += " ";
    base += newName.c_str();
    base += " ";

    TList<ZymString> texts;
    {
        ScopedThreadLock hold(m_TableLock);
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
            ZymString text(base);
            text += hostName;
            texts.append(text);
        }
    }
    Deliver(m_pEventSink, CHAT_EVENT_NICK, texts);
}

void ZymChat::OnNamesReply(const IrcMessage& message)
{
    // ":server 353 nick [type] channel :names": the channel stands before
    // the list, whether the type word is there (RFC 2812) or not (RFC 1459).
    size_t nCount = message.ParameterCount();
    if (nCount < 3)
        return;
    const std::string& channel = message.Parameter(nCount - 2);
    const std::string& names = message.Parameter(nCount - 1);

    TList<ZymString> texts;
    {
        ScopedThreadLock hold(m_TableLock);
        ZymString hostName;
        if (!HostNameOfHeld(channel, hostName))
        {
            Log("---> Got a name for a channel we don't think we're in: %s, %d\n",
                channel.c_str(), Now());
            return;
        }
        std::string::size_type nAt = names.find_first_not_of(' ');
        while (nAt != std::string::npos)
        {
            std::string::size_type nEnd = names.find(' ', nAt);
            std::string name = names.substr(nAt, nEnd - nAt);
            // The host hears the name as the server wrote it; the member is
            // the nickname without the marks of its standing.
            texts.append(MemberText(hostName, name));
            AddMember(m_ServerRules.WithoutMemberMarks(name), channel);
            nAt = nEnd == std::string::npos ? nEnd : names.find_first_not_of(' ', nEnd);
        }
    }
    Deliver(m_pEventSink, CHAT_EVENT_MEMBER, texts);
}

void ZymChat::OnKick(const IrcMessage& message)
{
    // ":op!u@h KICK channel nick [:reason]"
    const std::string& channel = message.Parameter(0);
    const std::string& victim = message.Parameter(1);
    if (channel.empty() || victim.empty())
        return;

    ScopedThreadLock hold(m_TableLock);
    // Kicked ourselves: like a PART we did not ask for, the channel stays
    // listed, and none of its members are ours to know any more.
    if (IsOwnNicknameHeld(victim))
        m_Members.RemoveChannel(MemberKey(channel));
    else
        m_Members.Remove(MemberKey(victim), MemberKey(channel));
}

void ZymChat::OnQuit(const IrcMessage& message)
{
    if (!message.FromUser())
        return;
    ScopedThreadLock hold(m_TableLock);
    m_Members.RemoveNickname(MemberKey(message.Source()));
}

const ZymString& ZymChat::OwnNicknameHeld() const
{
    return m_ConfirmedNickname.Length() > 0 ? m_ConfirmedNickname : m_Nickname;
}

bool ZymChat::IsOwnNicknameHeld(const std::string& nickname) const
{
    const ZymString& own = OwnNicknameHeld();
    return own.Length() > 0 && m_ServerRules.SameName(nickname, own.Text());
}

std::string ZymChat::MemberKey(const std::string& name) const
{
    return m_ServerRules.Fold(name);
}
