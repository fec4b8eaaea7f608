#include "InboundBurst.h"

InboundBurst::InboundBurst(const std::string& nickname, const std::string& channel, long lines)
    : m_nLines(0), m_nMessages(0), m_nMembers(0), m_nListEntries(0)
{
    const std::string server = ":irc.bench.test ";
    for (long i = 0; i < lines; ++i)
    {
        switch (i % 3)
        {
        case 0:
            m_Bytes += ":peer" + std::to_string(i % 7) + "!user@host.bench.test PRIVMSG " + channel +
                       " :burst message number " + std::to_string(i) + "\r\n";
            ++m_nMessages;
            break;
        case 1:
            m_Bytes += server + "353 " + nickname + " = " + channel + " :peerA peerB @peerC\r\n";
            m_nMembers += 3;
            break;
        default:
            m_Bytes += server + "322 " + nickname + " #room" + std::to_string(i % 50) +
                       " 4 :a topic for the room\r\n";
            ++m_nListEntries;
            break;
        }
        ++m_nLines;
    }
    m_Bytes += server + "323 " + nickname + " :End of LIST\r\n";
    ++m_nLines;
}

const std::string& InboundBurst::Bytes() const
{
    return m_Bytes;
}

long InboundBurst::Lines() const
{
    return m_nLines;
}

long InboundBurst::Messages() const
{
    return m_nMessages;
}

long InboundBurst::Members() const
{
    return m_nMembers;
}

long InboundBurst::ListEntries() const
{
    return m_nListEntries;
}
