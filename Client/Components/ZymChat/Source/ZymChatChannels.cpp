#include "ZymChat.h"

#include <ctime>

#include "ChannelEntry.h"
#include "OutgoingLine.h"
#include "ScopedThreadLock.h"

namespace
{
    int Now()
    {
        return static_cast<int>(std::time(nullptr));
    }

    // Servers may confirm a join under the asked name with a number appended.
    ZymString WithoutTrailingDigits(const ZymString& name)
    {
        int nLength = name.Length();
        while (nLength > 1 && name[nLength - 1] >= '0' && name[nLength - 1] <= '9')
            --nLength;
        return ZymString(name.Text(), nLength);
    }

    ZymString Concat(const char* pszFirst, const ZymString& second)
    {
        ZymString line(pszFirst);
        line += second;
        return line;
    }
}

void ZymChat::JoinChannel(const char* pszChannel, int nKind)
{
    if (pszChannel == nullptr)
        return;
    // A name whose JOIN line could not go out is refused before the table
    // holds it: it would sit there for ever, never joined.
    ZymString hostName(pszChannel);
    if (!OutgoingLine::IsSendable(Concat("JOIN ", hostName).Text()))
        return;
    ScopedThreadLock hold(m_TableLock);

    int nState = m_bWelcomed ? CHANNEL_JOINING : CHANNEL_PENDING;
    if (m_Channels.hasKey(hostName))
    {
        m_Channels.lookup(hostName)->m_nState = nState;
    }
    else
    {
        ChannelEntry* pEntry = new ChannelEntry(nState, nKind == 3 ? 1 : 0);
        try
        {
            m_Channels.insert(hostName, pEntry);
        }
        catch (...)
        {
            delete pEntry;
            throw;
        }
    }
    if (m_bWelcomed)
        sendTxt(Concat("JOIN ", hostName).Text());
}

void ZymChat::LeaveChannel(const char* pszChannel)
{
    if (pszChannel == nullptr)
        return;
    ScopedThreadLock hold(m_TableLock);
    LeaveChannelHeld(ZymString(pszChannel));
}

void ZymChat::LeaveChannelHeld(const ZymString& hostName)
{
    if (!m_Channels.hasKey(hostName))
    {
        Log("---> We've been asked to leave a channel we don't think we're in: %s, %d\n",
            hostName.Text(), Now());
        return;
    }
    ChannelEntry* pEntry = m_Channels.lookup(hostName);
    if (pEntry->m_nState == CHANNEL_JOINED)
    {
        if (!m_ServerNames.hasKey(hostName))
        {
            Log("---> We've been asked to leave a channel we don't think we're in: %s, %d\n",
                hostName.Text(), Now());
            return;
        }
        sendTxt(Concat("PART ", m_ServerNames.lookup(hostName)).Text());
    }
    else
    {
        Log("--> The channel state is not joined.  It is %d\n", pEntry->m_nState);
    }
    pEntry->m_nState = CHANNEL_LEAVING;
}

void ZymChat::JoinPendingChannels()
{
    typedef TList<LookupPair<ZymString, ChannelEntry*> > ChannelList;
    for (ChannelList::Iterator it(m_Channels); it.hasCurrent(); it.Step())
    {
        ChannelEntry* pEntry = it.iterator().m_Value;
        if (pEntry->m_nState != CHANNEL_PENDING)
            continue;
        sendTxt(Concat("JOIN ", it.iterator().m_Key).Text());
        pEntry->m_nState = CHANNEL_JOINING;
    }
}

void ZymChat::ResolveOwnJoin(const ZymString& serverName)
{
    typedef TList<LookupPair<ZymString, ChannelEntry*> > ChannelList;

    ZymString hostName =
        m_Channels.hasKey(serverName) ? serverName : WithoutTrailingDigits(serverName);
    if (!m_Channels.hasKey(hostName))
    {
        // A confirmation under an unrelated name can only be matched when
        // exactly one join is under way.
        int nJoining = 0;
        ZymString joining;
        for (ChannelList::ConstIterator it(m_Channels); it.hasCurrent(); it.Step())
        {
            if (it.iterator().m_Value->m_nState == CHANNEL_JOINING)
            {
                ++nJoining;
                joining = it.iterator().m_Key;
            }
        }
        if (nJoining != 1)
            return;
        hostName = joining;
    }

    // The channel's earlier server name, and any other channel's claim on
    // this one, stop routing: each joined channel has one row per map.
    if (m_ServerNames.hasKey(hostName))
    {
        ZymString earlier = m_ServerNames.lookup(hostName);
        m_ServerNames.remove(hostName);
        if (m_HostNames.hasKey(earlier))
            m_HostNames.remove(earlier);
        if (!(earlier == serverName))
            m_Members.RemoveChannel(earlier.Text());
    }
    if (m_HostNames.hasKey(serverName))
    {
        ZymString claimant = m_HostNames.lookup(serverName);
        m_HostNames.remove(serverName);
        if (m_ServerNames.hasKey(claimant))
            m_ServerNames.remove(claimant);
    }
    m_ServerNames.insert(hostName, serverName);
    m_HostNames.insert(serverName, hostName);

    ChannelEntry* pEntry = m_Channels.lookup(hostName);
    if (pEntry->m_nState == CHANNEL_JOINING)
    {
        pEntry->m_nState = CHANNEL_JOINED;
        pEntry->m_ServerChannelName = serverName;
        if (pEntry->m_bSecret)
            SetMode(serverName.Text(), "+s", nullptr);

        SendAttributesHeld(serverName.Text());
        pEntry->m_nAnswersQueuedUntil = m_nLinesQueued.load();
        SendNoticeHeld(hostName.Text(), "ZYMATTRIBREQUEST", nullptr);
    }
    else if (pEntry->m_nState == CHANNEL_LEAVING &&
             pEntry->m_nPartQueuedUntil <= m_nLinesTaken.load())
    {
        // The host left while the join was under way: leave now that the
        // server has put us in.
        pEntry->m_nState = CHANNEL_JOINED;
        LeaveChannelHeld(hostName);
        pEntry->m_nPartQueuedUntil = m_nLinesQueued.load();
    }
}

void ZymChat::HandleOwnPart(const ZymString& serverName)
{
    if (m_HostNames.hasKey(serverName))
    {
        ZymString hostName = m_HostNames.lookup(serverName);
        // Only a leave the host asked for drops the channel; any other PART
        // leaves it listed as joined.
        if (m_Channels.hasKey(hostName) &&
            m_Channels.lookup(hostName)->m_nState == CHANNEL_LEAVING)
        {
            ChannelEntry* pEntry = m_Channels.lookup(hostName);
            m_Channels.remove(hostName);
            delete pEntry;
            ForgetChannelHeld(hostName);
        }
    }
    m_Members.RemoveChannel(serverName.Text());
}

void ZymChat::ForgetChannelHeld(const ZymString& hostName)
{
    if (!m_ServerNames.hasKey(hostName))
        return;
    ZymString confirmed = m_ServerNames.lookup(hostName);
    m_ServerNames.remove(hostName);
    if (m_HostNames.hasKey(confirmed))
        m_HostNames.remove(confirmed);
    m_Members.RemoveChannel(confirmed.Text());
}

void ZymChat::AddMember(const ZymString& nickname, const ZymString& channel)
{
    if (m_HostNames.hasKey(channel))
        m_Members.Add(nickname.Text(), channel.Text());
}
