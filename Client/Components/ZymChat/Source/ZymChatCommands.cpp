#include "ZymChat.h"

#include <cstring>
#include <ctime>

#include "ChannelEntry.h"
#include "OutgoingLine.h"
#include "ScopedThreadLock.h"

namespace
{
    const char* OrEmpty(const char* pszText)
    {
        return pszText != nullptr ? pszText : "";
    }

    ZymString PrivmsgLine(const ZymString& target, const char* pszMessage)
    {
        ZymString line("PRIVMSG ");
        line += target;
        line += " :";
        line += OrEmpty(pszMessage);
        return line;
    }
}

int ZymChat::SendChannelMessage(const char* pszChannel, const char* pszMessage)
{
    if (pszChannel == nullptr)
        return -1;
    ScopedThreadLock hold(m_TableLock);

    ZymString hostName(pszChannel);
    if (!m_Channels.hasKey(hostName))
        return -1;
    // A channel whose join is not confirmed (yet) takes no messages.
    if (m_Channels.lookup(hostName)->m_nState != CHANNEL_JOINED || m_bWelcomed != 1 ||
        !m_ServerNames.hasKey(hostName))
        return -1;
    return sendTxt(PrivmsgLine(m_ServerNames.lookup(hostName), pszMessage).Text());
}

void ZymChat::SendPrivateMessage(const char* pszChannel, const char* pszMessage,
                                 const char* pszNickname)
{
    if (m_bWelcomed != 1)
        return;
    if (pszNickname != nullptr)
    {
        sendTxt(PrivmsgLine(ZymString(pszNickname), pszMessage).Text());
        return;
    }
    if (pszChannel == nullptr)
        return;
    ScopedThreadLock hold(m_TableLock);
    ZymString hostName(pszChannel);
    if (m_ServerNames.hasKey(hostName))
        sendTxt(PrivmsgLine(m_ServerNames.lookup(hostName), pszMessage).Text());
}

void ZymChat::SendInvite(const char* pszChannel, const char* pszNickname)
{
    if (m_bWelcomed != 1 || pszChannel == nullptr || pszNickname == nullptr)
        return;
    ScopedThreadLock hold(m_TableLock);
    ZymString hostName(pszChannel);
    if (!m_ServerNames.hasKey(hostName))
        return;
    ZymString line("INVITE ");
    line += pszNickname;
    line += " ";
    line += m_ServerNames.lookup(hostName);
    sendTxt(line.Text());
}

void ZymChat::SendAttributeUpdate(const char* pszKey, const char* pszValue)
{
    if (pszKey == nullptr || pszValue == nullptr || !OutgoingLine::HasNoLineBreak(pszKey) ||
        !OutgoingLine::HasNoLineBreak(pszValue))
        return;
    ZymString key(pszKey);
    ZymString update("ZYMATTRIBUPDATE ");
    update += key;
    update += " ";
    update += pszValue;

    ScopedThreadLock hold(m_TableLock);
    // Refused whole, before it is kept, when its notice to a channel joined
    // now would not fit one line.
    typedef TList<LookupPair<ZymString, ChannelEntry*> > ChannelList;
    for (ChannelList::ConstIterator it(m_Channels); it.hasCurrent(); it.Step())
    {
        if (it.iterator().m_Value->m_nState != CHANNEL_JOINED ||
            !m_ServerNames.hasKey(it.iterator().m_Key))
            continue;
        ZymString notice("NOTICE ");
        notice += m_ServerNames.lookup(it.iterator().m_Key);
        notice += " :";
        notice += update;
        if (!OutgoingLine::IsSendable(notice.Text()))
            return;
    }
    if (!OutgoingLine::IsSendable(update.Text()))
        return;

    if (m_Attributes.hasKey(key))
        m_Attributes.remove(key);
    m_Attributes.insert(key, ZymString(pszValue));

    for (ChannelList::ConstIterator it(m_Channels); it.hasCurrent(); it.Step())
    {
        if (it.iterator().m_Value->m_nState == CHANNEL_JOINED)
            SendNoticeHeld(it.iterator().m_Key.Text(), update.Text(), nullptr);
    }
}

void ZymChat::RequestNames(const char* pszChannel)
{
    m_pEventSink->NotifyText(CHAT_EVENT_NAMES, pszChannel);
    if (pszChannel == nullptr)
        return;

    ScopedThreadLock hold(m_TableLock);
    ZymString hostName(pszChannel);
    if (!m_ServerNames.hasKey(hostName))
    {
        Log("---> Got a name request for a channel we don't think we're in: %s, %d\n",
            pszChannel, static_cast<int>(std::time(nullptr)));
        return;
    }
    ZymString line("NAMES ");
    line += m_ServerNames.lookup(hostName);
    sendTxt(line.Text());
}

void ZymChat::ListChannels()
{
    {
        ScopedThreadLock hold(m_TableLock);
        if (!m_bWelcomed)
        {
            // The first welcome asks for the list.
            m_bListPending = 1;
            return;
        }
    }
    m_pEventSink->NotifyText(CHAT_EVENT_LIST_START, nullptr);
    sendTxt("LIST");
}

void ZymChat::SetNickname(const char* pszNickname)
{
    // A nickname whose NICK line could not go out is refused before it is
    // taken as ours.
    if (pszNickname == nullptr)
        return;
    ZymString line("NICK ");
    line += pszNickname;
    if (!OutgoingLine::IsSendable(line.Text()))
        return;

    ScopedThreadLock hold(m_TableLock);
    m_Nickname = ZymString(pszNickname);
    // Between the login and the welcome the server waits for a nickname it
    // accepts: one it refused can only be replaced this way.
    if (m_bWelcomed || m_bLoginSent)
        sendTxt(line.Text());
}
