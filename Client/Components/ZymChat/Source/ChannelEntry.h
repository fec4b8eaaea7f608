#ifndef ZYM_CHANNELENTRY_H
#define ZYM_CHANNELENTRY_H

#include "ZymString.h"

// How far the join of one channel asked for by the host has come.
enum ChannelState
{
    CHANNEL_PENDING = 0,
    CHANNEL_JOINING = 1,
    CHANNEL_JOINED = 2,
    CHANNEL_LEAVING = 3
};

// One row of the channel table, keyed by the host's name for the channel.
class ChannelEntry
{
public:
    ChannelEntry(int nState, int bSecret);

    // Empty until the server confirms the own JOIN.
    ZymString m_ServerChannelName;
    int m_nState;
    // Ask the server to make the channel secret once it is joined.
    int m_bSecret;
    // Attribute answers to a request are queued up to this line count; a
    // request that comes while they still wait is answered by them.
    long m_nAnswersQueuedUntil;
    // Likewise for the PART that a confirmation after a leave queues: a
    // repeated confirmation while it waits queues no second one.
    long m_nPartQueuedUntil;
};

#endif
