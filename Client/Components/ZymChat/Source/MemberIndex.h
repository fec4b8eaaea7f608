#ifndef ZYM_MEMBERINDEX_H
#define ZYM_MEMBERINDEX_H

#include <cstddef>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The members seen in each channel, found by channel and by nickname in
// constant time, so that a channel of tens of thousands of members costs no
// walk of a list while the table lock is held. Names compare exactly.
//
// Its size is bounded: a channel holds at most kMaxMembersPerChannel members
// and a nickname longer than kMaxNicknameLength is not kept, so a server that
// sends names without end cannot grow it past that per channel. The caller
// keeps channels only while they are in its channel table.
class MemberIndex
{
public:
    static const size_t kMaxMembersPerChannel = 65536;
    static const size_t kMaxNicknameLength = 64;

    MemberIndex();

    // False when the pair is already there, the channel is full or the
    // nickname is empty or too long.
    bool Add(const std::string& nickname, const std::string& channel);
    // False when the pair was not there.
    bool Remove(const std::string& nickname, const std::string& channel);
    void RemoveChannel(const std::string& channel);
    // Drops the nickname from every channel.
    void RemoveNickname(const std::string& nickname);
    // Gives every pair of the old nickname the new one and returns their
    // channels in the order the nickname entered them. A channel that holds
    // the new nickname already keeps one pair.
    std::vector<std::string> Rename(const std::string& oldNickname,
                                    const std::string& newNickname);

    bool Contains(const std::string& nickname, const std::string& channel) const;
    size_t CountIn(const std::string& channel) const;
    size_t Total() const { return m_nTotal; }
    size_t ChannelCount() const { return m_Channels.size(); }
    void Clear();

private:
    typedef std::unordered_map<std::string, std::unordered_set<std::string> > ChannelMap;
    // The channel texts are the keys of m_Channels, which stay in place
    // until their channel is removed.
    typedef std::unordered_map<std::string, std::vector<const std::string*> > NicknameMap;

    void Unlink(const std::string& nickname, const std::string* pChannel);

    ChannelMap m_Channels;
    NicknameMap m_Nicknames;
    size_t m_nTotal;
};

#endif
