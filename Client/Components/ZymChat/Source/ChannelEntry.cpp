#include "ChannelEntry.h"

ChannelEntry::ChannelEntry(int nState, int bSecret)
    : m_ServerChannelName(), m_nState(nState), m_bSecret(bSecret), m_nAnswersQueuedUntil(0), m_nPartQueuedUntil(0)
{
}
