#include "ZymChat.h"

#include <cstring>
#include <ctime>

#include "ChannelEntry.h"
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
    if (pszKey == nullptr || pszValue == nullptr)
        return;
    ScopedThreadLock hold(m_TableLock);

    ZymString key(pszKey);
    if (m_Attributes.hasKey(key))
        m_Attributes.remove(key);
    m_Attributes.insert(key, ZymString(pszValue));

    ZymString update("ZYMATTRIBUPDATE ");
    update += key;
    update += " ";
    update += pszValue;

    typedef TList<LookupPair<ZymString, ChannelEntry*> > ChannelList;
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
    // A nickname that would not fit a protocol line behind "NICK " is refused
    // whole: the send path drops a line that leaves no room for its CR LF,
    // and the nickname would already be taken as ours.
    const size_t nLongest = DEFAULT_BUFLEN - 2 - 5;
    if (pszNickname == nullptr || std::strlen(pszNickname) > nLongest)
        return;

    ScopedThreadLock hold(m_TableLock);
    m_Nickname = ZymString(pszNickname);
    if (m_bWelcomed)
    {
        ZymString line("NICK ");
        line += m_Nickname;
        sendTxt(line.Text());
    }
}
