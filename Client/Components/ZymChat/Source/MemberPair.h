#ifndef ZYM_MEMBERPAIR_H
#define ZYM_MEMBERPAIR_H

#include "ZymString.h"

// One member seen in one channel: the member's nickname and the server's name
// for the channel. Two pairs are equal when both texts are.
class MemberPair
{
public:
    MemberPair(const ZymString& nickname, const ZymString& channel)
        : m_Nickname(nickname), m_Channel(channel)
    {
    }

    bool operator==(const MemberPair& other) const
    {
        return (m_Nickname == other.m_Nickname) && (m_Channel == other.m_Channel);
    }

    ZymString m_Nickname;
    ZymString m_Channel;
};

#endif
