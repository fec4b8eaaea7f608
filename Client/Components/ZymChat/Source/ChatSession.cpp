#include "ChatSession.h"

#include <string>

#include "ChannelEntry.h"
#include "ChatEventSink.h"
#include "IrcMessage.h"
#include "LineCounts.h"
#include "OutgoingLine.h"
#include "ScopedThreadLock.h"

ChatSession::ChatSession(const LineCounts& lineCounts, const ScramCrypto& crypto)
    : m_LineCounts(lineCounts),
      m_Sasl(crypto),
      m_bExtendedHost(false),
      m_bEchoWanted(false),
      m_bSecureLink(false),
      m_bClientCertificate(false),
      m_bSaslPending(false),
      m_bLoginRefused(false),
      m_Nickname(16),
      m_RealName(16),
      m_UserName(16),
      m_bWelcomed(false),
      m_bListPending(false),
      m_bLoginSent(false)
{
}

ChatSession::~ChatSession()
{
    for (m_Channels.rewind(); m_Channels.hasCurrent(); m_Channels.Step())
        delete m_Channels.iterator().m_Value;
}

void ChatSession::Handle(const IrcMessage& message, SessionOutput& out)
{
    ScopedThreadLock hold(m_TableLock);
    if (message.CommandIs("PRIVMSG"))
        OnPrivmsg(message, out);
    else if (message.CommandIs("NOTICE"))
        OnNotice(message, out);
    else if (message.CommandIs("INVITE"))
        OnInvite(message, out);
    else if (message.CommandIs("JOIN"))
        OnJoin(message, out);
    else if (message.CommandIs("PART"))
        OnPart(message, out);
    else if (message.CommandIs("NICK"))
        OnNick(message, out);
    else if (message.CommandIs("KICK"))
        OnKick(message, out);
    else if (message.CommandIs("QUIT"))
        OnQuit(message, out);
    else if (message.CommandIs("CAP"))
        OnCap(message, out);
    else if (message.CommandIs("AUTHENTICATE"))
        OnAuthenticate(message, out);
    else if (message.CommandIs("TOPIC"))
        OnTopic(message, out);
    else if (message.CommandIs("MODE"))
        OnMode(message, out);
    else if (message.CommandIs("AWAY") || message.CommandIs("ACCOUNT") ||
             message.CommandIs("CHGHOST"))
        OnUserState(message, out);
    else
    {
        int nNumeric = message.Numeric();
        if (nNumeric == 421)
            OnCapUnknown(message);
        else if (nNumeric == 332 || nNumeric == 333)
            OnTopicNumeric(message, out);
        else if (nNumeric >= 900 && nNumeric <= 908)
            OnSaslNumeric(message, out);
        else if (nNumeric == 322)
            OnListEntry(message, out);
        else if (nNumeric == 353)
            OnNamesReply(message, out);
        else if (nNumeric == 372)
            OnMotd(message, out);
        else if (nNumeric == 5)
            m_ServerRules.Read(message);
        if (nNumeric >= 1 && nNumeric <= 4)
        {
            OnWelcomeTarget(message);
            // A server that welcomes us without answering CAP does not
            // know it.
            if (m_Caps.Stage() == CapabilityNegotiation::Phase::Listing)
                m_Caps.SetStage(CapabilityNegotiation::Phase::Off);
            if (WelcomeAllowed(out) && nNumeric >= 2)
                OnWelcome(out);
        }
    }
}

void ChatSession::OnWelcome(SessionOutput& out)
{
    if (m_bWelcomed)
        return;
    m_bWelcomed = true;
    if (m_bListPending)
    {
        m_bListPending = false;
        out.Send("LIST");
        out.NotifyWithoutText(CHAT_EVENT_LIST_START);
    }
    JoinPendingChannels(out);
}

void ChatSession::OnWelcomeTarget(const IrcMessage& message)
{
    // ":server 001 nick :Welcome": the nickname the server knows us by. A
    // server that has none yet writes "*".
    const std::string& target = message.Parameter(0);
    if (target.empty() || target[0] == '*')
        return;
    m_ConfirmedNickname = ZymString(target.c_str());
}

bool ChatSession::ListNow()
{
    ScopedThreadLock hold(m_TableLock);
    if (!m_bWelcomed)
        m_bListPending = true;
    return m_bWelcomed;
}

void ChatSession::SetNickname(const char* pszNickname, SessionOutput& out)
{
    // A nickname whose NICK line could not go out is refused before it is
    // taken as ours.
    if (pszNickname == nullptr)
        return;
    std::string line = OutgoingLine::Nick(pszNickname);
    if (!OutgoingLine::IsSendable(line.c_str()))
        return;

    ScopedThreadLock hold(m_TableLock);
    m_Nickname = ZymString(pszNickname);
    // Between the login and the welcome the server waits for a nickname it
    // accepts: one it refused can only be replaced this way.
    if (m_bWelcomed || m_bLoginSent)
        out.Send(line);
}

void ChatSession::SetRealName(const char* pszRealName)
{
    // A line break would end the login's USER line early and start a
    // command of the text behind it.
    if (!OutgoingLine::HasNoLineBreak(pszRealName))
        return;
    ScopedThreadLock hold(m_TableLock);
    m_RealName = ZymString(pszRealName != nullptr ? pszRealName : "");
}

void ChatSession::SetUserName(const char* pszUserName)
{
    if (!OutgoingLine::HasNoLineBreak(pszUserName))
        return;
    ScopedThreadLock hold(m_TableLock);
    m_UserName = ZymString(pszUserName != nullptr ? pszUserName : "");
}

void ChatSession::LoginLines(bool bSecureLink, bool bClientCertificate, SessionOutput& out)
{
    ScopedThreadLock hold(m_TableLock);
    // Sent first, the server holds the registration until "CAP END"; a
    // server that does not know CAP answers 421 and goes on.
    out.Send("CAP LS 302");
    m_Caps.Begin();
    m_bSecureLink = bSecureLink;
    m_bClientCertificate = bClientCertificate;
    // A login set from now on is for the next connection.
    m_bSaslPending = m_Sasl.Configured();
    m_bLoginRefused = false;
    out.Send(OutgoingLine::LoginNick(m_Nickname.Text()));
    out.Send(OutgoingLine::User(m_UserName.Text(), m_RealName.Text()));
    m_bLoginSent = true;
}

void ChatSession::ConnectionEnded()
{
    ScopedThreadLock hold(m_TableLock);
    m_bLoginSent = false;
    m_Caps.End();
}

void ChatSession::NicknameRefused(bool bHostGaveUp)
{
    ScopedThreadLock hold(m_TableLock);
    if (bHostGaveUp)
        m_Nickname = ZymString();
    // The server kept the nickname it confirmed last; so do we, rather than
    // the one it refused.
    else if (m_ConfirmedNickname.Length() > 0 &&
             OutgoingLine::IsSendableNickname(m_ConfirmedNickname.Text()))
        m_Nickname = m_ConfirmedNickname;
}

std::string ChatSession::Nickname() const
{
    ScopedThreadLock hold(m_TableLock);
    return m_Nickname.Text();
}

std::string ChatSession::Inconsistency() const
{
    ScopedThreadLock hold(m_TableLock);
    size_t nMembersInTable = 0;
    for (TList<LookupPair<ZymString, ZymString> >::ConstIterator it(m_ServerNames); it.hasCurrent();
         it.Step())
    {
        const LookupPair<ZymString, ZymString>& names = it.iterator();
        if (!m_Channels.hasKey(names.m_Key))
            return std::string("name mapped for a channel not in the table: ") + names.m_Key.Text();
        nMembersInTable += m_Members.CountIn(MemberKey(names.m_Value.Text()));
    }
    if (m_Members.Total() != nMembersInTable)
        return "members kept for a channel not in the table: " +
               std::to_string(m_Members.Total() - nMembersInTable);
    return std::string();
}

const ZymString& ChatSession::OwnNicknameHeld() const
{
    return m_ConfirmedNickname.Length() > 0 ? m_ConfirmedNickname : m_Nickname;
}

bool ChatSession::IsOwnNicknameHeld(const std::string& nickname) const
{
    const ZymString& own = OwnNicknameHeld();
    return own.Length() > 0 && m_ServerRules.SameName(nickname, own.Text());
}

std::string ChatSession::MemberKey(const std::string& name) const
{
    return ServerRules::IndexKey(name);
}

bool ChatSession::HostNameOfHeld(const std::string& serverName, ZymString& hostName) const
{
    // The server may write a channel in another case than it confirmed it.
    typedef TList<LookupPair<ZymString, ZymString> > NameList;
    for (NameList::ConstIterator it(m_HostNames); it.hasCurrent(); it.Step())
    {
        if (m_ServerRules.SameName(it.iterator().m_Key.Text(), serverName))
        {
            hostName = it.iterator().m_Value;
            return true;
        }
    }
    return false;
}

bool ChatSession::ChannelKeyHeld(const ZymString& name, ZymString& key) const
{
    if (m_Channels.hasKey(name))
    {
        key = name;
        return true;
    }
    typedef TList<LookupPair<ZymString, ChannelEntry*> > ChannelList;
    for (ChannelList::ConstIterator it(m_Channels); it.hasCurrent(); it.Step())
    {
        if (m_ServerRules.SameName(it.iterator().m_Key.Text(), name.Text()))
        {
            key = it.iterator().m_Key;
            return true;
        }
    }
    return false;
}

long ChatSession::QueuedAfter(const SessionOutput& out) const
{
    return m_LineCounts.Queued() + static_cast<long>(out.Lines().size());
}
