#include "ChatSession.h"

#include <ctime>
#include <vector>

#include "ChannelEntry.h"
#include "LineCounts.h"
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
}

void ChatSession::JoinChannel(const char* pszChannel, int nKind, SessionOutput& out)
{
    if (pszChannel == nullptr)
        return;
    // A name whose JOIN line could not go out is refused before the table
    // holds it: it would sit there for ever, never joined.
    ZymString hostName(pszChannel);
    if (!OutgoingLine::IsSendable(OutgoingLine::Join(pszChannel).c_str()))
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
        out.Send(OutgoingLine::Join(pszChannel));
}

void ChatSession::LeaveChannel(const char* pszChannel, SessionOutput& out)
{
    if (pszChannel == nullptr)
        return;
    ScopedThreadLock hold(m_TableLock);
    LeaveChannelHeld(ZymString(pszChannel), out);
}

void ChatSession::LeaveChannelHeld(const ZymString& hostName, SessionOutput& out)
{
    if (!m_Channels.hasKey(hostName))
    {
        out.Log("---> We've been asked to leave a channel we don't think we're in: %s, %d\n",
            hostName.Text(), Now());
        return;
    }
    ChannelEntry* pEntry = m_Channels.lookup(hostName);
    if (pEntry->m_nState == CHANNEL_JOINED)
    {
        if (!m_ServerNames.hasKey(hostName))
        {
            // Another row took its server name (the server counts the two
            // names as one): there is nothing to part, and a row kept joined
            // could be neither left nor joined again.
            out.Log("---> We've been asked to leave a channel we don't think we're in: %s, %d\n",
                hostName.Text(), Now());
            m_Channels.remove(hostName);
            delete pEntry;
            return;
        }
        out.Send(OutgoingLine::Part(m_ServerNames.lookup(hostName).Text()));
    }
    else
    {
        out.Log("--> The channel state is not joined.  It is %d\n", pEntry->m_nState);
    }
    pEntry->m_nState = CHANNEL_LEAVING;
}

void ChatSession::JoinPendingChannels(SessionOutput& out)
{
    typedef TList<LookupPair<ZymString, ChannelEntry*> > ChannelList;
    for (ChannelList::Iterator it(m_Channels); it.hasCurrent(); it.Step())
    {
        ChannelEntry* pEntry = it.iterator().m_Value;
        if (pEntry->m_nState != CHANNEL_PENDING)
            continue;
        out.Send(OutgoingLine::Join(it.iterator().m_Key.Text()));
        pEntry->m_nState = CHANNEL_JOINING;
    }
}

bool ChatSession::MatchOwnJoinHeld(const ZymString& serverName, ZymString& hostName) const
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

void ChatSession::MapChannelHeld(const ZymString& hostName, const ZymString& serverName)
{
    // The channel's earlier server name, and any other channel's claim on
    // this one, stop routing: each joined channel has one row per map.
    if (m_ServerNames.hasKey(hostName))
    {
        ZymString earlier = m_ServerNames.lookup(hostName);
        m_ServerNames.remove(hostName);
        if (m_HostNames.hasKey(earlier))
            m_HostNames.remove(earlier);
        if (MemberKey(earlier.Text()) != MemberKey(serverName.Text()))
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

void ChatSession::ResolveOwnJoin(const ZymString& serverName, SessionOutput& out)
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
            out.Send(OutgoingLine::Mode(serverName.Text(), "+s", nullptr));

        SendAttributesHeld(serverName.Text(), out);
        pEntry->m_nAnswersQueuedUntil = QueuedAfter(out);
        NoticeHeld(hostName.Text(), "ZYMATTRIBREQUEST", nullptr, out);
    }
    else if (pEntry->m_nState == CHANNEL_LEAVING &&
             pEntry->m_nPartQueuedUntil <= m_LineCounts.Taken())
    {
        // The host left while the join was under way: leave now that the
        // server has put us in.
        pEntry->m_nState = CHANNEL_JOINED;
        LeaveChannelHeld(hostName, out);
        pEntry->m_nPartQueuedUntil = QueuedAfter(out);
    }
}

void ChatSession::HandleOwnPart(const ZymString& serverName)
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

void ChatSession::ForgetChannelHeld(const ZymString& hostName)
{
    if (!m_ServerNames.hasKey(hostName))
        return;
    ZymString confirmed = m_ServerNames.lookup(hostName);
    m_ServerNames.remove(hostName);
    if (m_HostNames.hasKey(confirmed))
        m_HostNames.remove(confirmed);
    m_Members.RemoveChannel(MemberKey(confirmed.Text()));
}

void ChatSession::AddMember(const std::string& nickname, const std::string& channel)
{
    ZymString hostName;
    if (HostNameOfHeld(channel, hostName))
        m_Members.Add(MemberKey(nickname), MemberKey(channel));
}
