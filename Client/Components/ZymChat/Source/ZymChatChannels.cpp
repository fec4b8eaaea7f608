#include "ZymChat.h"

#include <ctime>
#include <vector>

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
    // Nor is a name longer than the server takes: it would never confirm it.
    size_t nLongest = m_ServerRules.ChannelLength();
    if (nLongest > 0 && static_cast<size_t>(hostName.Length()) > nLongest)
        return;

    int nState = m_bWelcomed ? CHANNEL_JOINING : CHANNEL_PENDING;
    if (m_Channels.hasKey(hostName))
    {
        ChannelEntry* pEntry = m_Channels.lookup(hostName);
        // The server answers a JOIN of a channel we are on with nothing: the
        // channel stays joined.
        if (pEntry->m_nState == CHANNEL_JOINED && m_bWelcomed)
            return;
        pEntry->m_nState = nState;
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

bool ZymChat::MatchOwnJoinHeld(const ZymString& serverName, ZymString& hostName) const
{
    if (ChannelKeyHeld(serverName, hostName) ||
        ChannelKeyHeld(WithoutTrailingDigits(serverName), hostName))
        return true;
    // A confirmation under an unrelated name can only be matched when
    // exactly one join is under way.
    typedef TList<LookupPair<ZymString, ChannelEntry*> > ChannelList;
    int nJoining = 0;
    for (ChannelList::ConstIterator it(m_Channels); it.hasCurrent(); it.Step())
    {
        if (it.iterator().m_Value->m_nState == CHANNEL_JOINING)
        {
            ++nJoining;
            hostName = it.iterator().m_Key;
        }
    }
    return nJoining == 1;
}

void ZymChat::MapChannelHeld(const ZymString& hostName, const ZymString& serverName)
{
    // The channel's earlier server name, and any other channel's claim on
    // this one, stop routing: each joined channel has one row per map.
    if (m_ServerNames.hasKey(hostName))
    {
        ZymString earlier = m_ServerNames.lookup(hostName);
        m_ServerNames.remove(hostName);
        if (m_HostNames.hasKey(earlier))
            m_HostNames.remove(earlier);
        if (!m_ServerRules.SameName(earlier.Text(), serverName.Text()))
            m_Members.RemoveChannel(MemberKey(earlier.Text()));
    }
    typedef TList<LookupPair<ZymString, ZymString> > NameList;
    std::vector<LookupPair<ZymString, ZymString> > claims;
    for (NameList::ConstIterator it(m_HostNames); it.hasCurrent(); it.Step())
    {
        if (m_ServerRules.SameName(it.iterator().m_Key.Text(), serverName.Text()))
            claims.push_back(it.iterator());
    }
    for (const LookupPair<ZymString, ZymString>& claim : claims)
    {
        m_HostNames.remove(claim.m_Key);
        if (m_ServerNames.hasKey(claim.m_Value))
            m_ServerNames.remove(claim.m_Value);
    }
    m_ServerNames.insert(hostName, serverName);
    m_HostNames.insert(serverName, hostName);
}

void ZymChat::ResolveOwnJoin(const ZymString& serverName)
{
    ZymString hostName;
    if (!MatchOwnJoinHeld(serverName, hostName))
        return;
    MapChannelHeld(hostName, serverName);

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
    ZymString hostName;
    if (HostNameOfHeld(serverName.Text(), hostName))
    {
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
    m_Members.RemoveChannel(MemberKey(serverName.Text()));
}

void ZymChat::ForgetChannelHeld(const ZymString& hostName)
{
    if (!m_ServerNames.hasKey(hostName))
        return;
    ZymString confirmed = m_ServerNames.lookup(hostName);
    m_ServerNames.remove(hostName);
    if (m_HostNames.hasKey(confirmed))
        m_HostNames.remove(confirmed);
    m_Members.RemoveChannel(MemberKey(confirmed.Text()));
}

void ZymChat::AddMember(const std::string& nickname, const std::string& channel)
{
    ZymString hostName;
    if (HostNameOfHeld(channel, hostName))
        m_Members.Add(MemberKey(nickname), MemberKey(channel));
}

bool ZymChat::HostNameOfHeld(const std::string& serverName, ZymString& hostName) const
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

bool ZymChat::ChannelKeyHeld(const ZymString& name, ZymString& key) const
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
