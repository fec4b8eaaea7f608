#include "MemberIndex.h"

#include <algorithm>

MemberIndex::MemberIndex() : m_nTotal(0)
{
}

bool MemberIndex::Add(const std::string& nickname, const std::string& channel)
{
    if (nickname.empty() || nickname.size() > kMaxNicknameLength)
        return false;
    ChannelMap::iterator itChannel = m_Channels.find(channel);
    if (itChannel == m_Channels.end())
        itChannel = m_Channels.emplace(channel, std::unordered_set<std::string>()).first;
    std::unordered_set<std::string>& members = itChannel->second;
    if (members.size() >= kMaxMembersPerChannel || members.count(nickname) != 0)
        return false;
    members.insert(nickname);
    m_Nicknames[nickname].push_back(&itChannel->first);
    ++m_nTotal;
    return true;
}

void MemberIndex::Unlink(const std::string& nickname, const std::string* pChannel)
{
    NicknameMap::iterator itNick = m_Nicknames.find(nickname);
    if (itNick == m_Nicknames.end())
        return;
    std::vector<const std::string*>& channels = itNick->second;
    channels.erase(std::remove(channels.begin(), channels.end(), pChannel), channels.end());
    if (channels.empty())
        m_Nicknames.erase(itNick);
}

bool MemberIndex::Remove(const std::string& nickname, const std::string& channel)
{
    ChannelMap::iterator itChannel = m_Channels.find(channel);
    if (itChannel == m_Channels.end() || itChannel->second.erase(nickname) == 0)
        return false;
    Unlink(nickname, &itChannel->first);
    --m_nTotal;
    if (itChannel->second.empty())
        m_Channels.erase(itChannel);
    return true;
}

void MemberIndex::RemoveChannel(const std::string& channel)
{
    ChannelMap::iterator itChannel = m_Channels.find(channel);
    if (itChannel == m_Channels.end())
        return;
    for (const std::string& nickname : itChannel->second)
        Unlink(nickname, &itChannel->first);
    m_nTotal -= itChannel->second.size();
    m_Channels.erase(itChannel);
}

void MemberIndex::RemoveNickname(const std::string& nickname)
{
    NicknameMap::iterator itNick = m_Nicknames.find(nickname);
    if (itNick == m_Nicknames.end())
        return;
    std::vector<const std::string*> channels;
    channels.swap(itNick->second);
    m_Nicknames.erase(itNick);
    for (const std::string* pChannel : channels)
    {
        ChannelMap::iterator itChannel = m_Channels.find(*pChannel);
        itChannel->second.erase(nickname);
        --m_nTotal;
        if (itChannel->second.empty())
            m_Channels.erase(itChannel);
    }
}

std::vector<std::string> MemberIndex::Rename(const std::string& oldNickname,
                                             const std::string& newNickname)
{
    std::vector<std::string> renamedIn;
    NicknameMap::iterator itNick = m_Nicknames.find(oldNickname);
    if (itNick == m_Nicknames.end() || oldNickname == newNickname)
    {
        if (itNick != m_Nicknames.end())
        {
            for (const std::string* pChannel : itNick->second)
                renamedIn.push_back(*pChannel);
        }
        return renamedIn;
    }
    std::vector<const std::string*> channels;
    channels.swap(itNick->second);
    m_Nicknames.erase(itNick);
    bool bKeepable = !newNickname.empty() && newNickname.size() <= kMaxNicknameLength;
    for (const std::string* pChannel : channels)
    {
        renamedIn.push_back(*pChannel);
        ChannelMap::iterator itChannel = m_Channels.find(*pChannel);
        std::unordered_set<std::string>& members = itChannel->second;
        members.erase(oldNickname);
        --m_nTotal;
        if (bKeepable && members.insert(newNickname).second)
        {
            m_Nicknames[newNickname].push_back(pChannel);
            ++m_nTotal;
        }
        if (members.empty())
            m_Channels.erase(itChannel);
    }
    return renamedIn;
}

bool MemberIndex::Contains(const std::string& nickname, const std::string& channel) const
{
    ChannelMap::const_iterator itChannel = m_Channels.find(channel);
    return itChannel != m_Channels.end() && itChannel->second.count(nickname) != 0;
}

size_t MemberIndex::CountIn(const std::string& channel) const
{
    ChannelMap::const_iterator itChannel = m_Channels.find(channel);
    return itChannel != m_Channels.end() ? itChannel->second.size() : 0;
}

void MemberIndex::Clear()
{
    m_Nicknames.clear();
    m_Channels.clear();
    m_nTotal = 0;
}
