#ifndef INBOUNDBURST_H
#define INBOUNDBURST_H

#include <string>

// A burst of server lines for a component that is in one channel: messages
// to that channel, names replies and channel-list entries in turn, closed by
// the end of a list. Knows how many sink events the component owes for it.
class InboundBurst
{
public:
    InboundBurst(const std::string& nickname, const std::string& channel, long lines);

    const std::string& Bytes() const;
    // The lines of the burst, the closing end-of-list line included.
    long Lines() const;
    long Messages() const;
    // One per name of every names reply.
    long Members() const;
    long ListEntries() const;

private:
    std::string m_Bytes;
    long m_nLines;
    long m_nMessages;
    long m_nMembers;
    long m_nListEntries;
};

#endif
