#include "ChatSession.h"

#include <ctime>
#include <string>

#include "ChannelEntry.h"
#include "OutgoingLine.h"
#include "ScopedThreadLock.h"

bool ChatSession::ChannelMessage(const char* pszChannel, const char* pszMessage,
                                 SessionOutput& out)
{
    if (pszChannel == nullptr)
        return false;
    ScopedThreadLock hold(m_TableLock);
    ZymString hostName(pszChannel);
    // A channel whose join is not confirmed (yet) takes no messages.
    if (!m_Channels.hasKey(hostName) || m_Channels.lookup(hostName)->m_nState != CHANNEL_JOINED ||
        !m_bWelcomed || !m_ServerNames.hasKey(hostName))
        return false;
    out.Send(OutgoingLine::Privmsg(m_ServerNames.lookup(hostName).Text(), pszMessage));
    return true;
}

void ChatSession::PrivateMessage(const char* pszChannel, const char* pszMessage,
                                 const char* pszNickname, SessionOutput& out)
{
    if (!m_bWelcomed)
        return;
    if (pszNickname != nullptr)
    {
        out.Send(OutgoingLine::Privmsg(pszNickname, pszMessage));
        return;
    }
    if (pszChannel == nullptr)
        return;
    ScopedThreadLock hold(m_TableLock);
    ZymString hostName(pszChannel);
    if (m_ServerNames.hasKey(hostName))
        out.Send(OutgoingLine::Privmsg(m_ServerNames.lookup(hostName).Text(), pszMessage));
}

void ChatSession::Invite(const char* pszChannel, const char* pszNickname, SessionOutput& out)
{
    if (!m_bWelcomed || pszChannel == nullptr || pszNickname == nullptr)
        return;
    ScopedThreadLock hold(m_TableLock);
    ZymString hostName(pszChannel);
    if (m_ServerNames.hasKey(hostName))
        out.Send(OutgoingLine::Invite(pszNickname, m_ServerNames.lookup(hostName).Text()));
}

void ChatSession::AttributeUpdate(const char* pszKey, const char* pszValue, SessionOutput& out)
{
    if (pszKey == nullptr || pszValue == nullptr || !OutgoingLine::HasNoLineBreak(pszKey) ||
        !OutgoingLine::HasNoLineBreak(pszValue))
        return;
    const std::string update = std::string("ZYMATTRIBUPDATE ") + pszKey + " " + pszValue;

    ScopedThreadLock hold(m_TableLock);
    // Refused whole, before it is kept, when its notice to a channel joined
    // now would not fit one line.
    typedef TList<LookupPair<ZymString, ChannelEntry*> > ChannelList;
    for (ChannelList::ConstIterator it(m_Channels); it.hasCurrent(); it.Step())
    {
        if (it.iterator().m_Value->m_nState != CHANNEL_JOINED ||
            !m_ServerNames.hasKey(it.iterator().m_Key))
            continue;
        std::string notice = OutgoingLine::Notice(m_ServerNames.lookup(it.iterator().m_Key).Text(),
                                                  nullptr, update.c_str());
        if (!OutgoingLine::IsSendable(notice.c_str()))
            return;
    }
    if (!OutgoingLine::IsSendable(update.c_str()))
        return;

    ZymString key(pszKey);
    if (m_Attributes.hasKey(key))
        m_Attributes.remove(key);
    m_Attributes.insert(key, ZymString(pszValue));

    for (ChannelList::ConstIterator it(m_Channels); it.hasCurrent(); it.Step())
    {
        if (it.iterator().m_Value->m_nState == CHANNEL_JOINED)
            NoticeHeld(it.iterator().m_Key.Text(), update.c_str(), nullptr, out);
    }
}

void ChatSession::NamesRequest(const char* pszChannel, SessionOutput& out)
{
    if (pszChannel == nullptr)
        return;
    ScopedThreadLock hold(m_TableLock);
    ZymString hostName(pszChannel);
    if (!m_ServerNames.hasKey(hostName))
    {
        out.Log("---> Got a name request for a channel we don't think we're in: %s, %d\n",
                pszChannel, static_cast<int>(std::time(nullptr)));
        return;
    }
    out.Send(OutgoingLine::Names(m_ServerNames.lookup(hostName).Text()));
}
