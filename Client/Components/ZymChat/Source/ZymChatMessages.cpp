#include "ZymChat.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "ChannelEntry.h"
#include "InboundFields.h"
#include "ScopedThreadLock.h"
#include "Tokenizer.h"

using namespace InboundFields;

namespace
{
    // Text areas of the handlers here, terminator included.
    const size_t kChannelArea = 500;
    const size_t kMessageTextArea = 516;
    const size_t kInviteTextArea = 520;

    // Writes terminators over the blank before the command and over the "!"
    // that ends the sender's nickname, so pszLine then reads ":nick". False
    // when the line has no sender prefix.
    bool CutToSender(char* pszLine, const char* pszCommand)
    {
        int nSender = SenderLength(pszLine, pszCommand);
        if (nSender < 0)
            return false;
        pszLine[pszCommand - pszLine - 1] = '\0';
        pszLine[nSender] = '\0';
        return true;
    }
}

void ZymChat::OnPrivmsg(char* pszLine)
{
    const char* pszCommand = CommandWord(pszLine);
    if (!CutToSender(pszLine, pszCommand))
        return;

    // Only a message whose target is a channel is a channel message; one to
    // our own nickname is dropped whatever its text holds.
    const char* pszTarget = NextWord(pszCommand);
    const char* pszMessage = Trailing(pszCommand);
    if (pszTarget == nullptr || pszTarget[0] != '#' || pszMessage == nullptr)
        return;

    char channel[kChannelArea];
    CopyWord(pszTarget, channel, sizeof(channel));
    ZymString hostName;
    {
        ScopedThreadLock hold(m_TableLock);
        ZymString serverName(channel);
        if (!m_HostNames.hasKey(serverName))
        {
            Log("---> Received message from a channel we're not in: %s, %d\n", channel,
                static_cast<int>(std::time(nullptr)));
            return;
        }
        hostName = m_HostNames.lookup(serverName);
    }

    char text[kMessageTextArea];
    std::snprintf(text, sizeof(text), "%s %s %s", hostName.Text(), pszLine + 1, pszMessage);
    m_pEventSink->NotifyText(CHAT_EVENT_MESSAGE, text);
}

void ZymChat::OnNotice(char* pszLine)
{
    const char* pszCommand = CommandWord(pszLine);
    char target[kChannelArea];
    CopyWord(NextWord(pszCommand), target, sizeof(target));

    // The sender as written, colon included: up to the "!", or the whole
    // prefix of a server's notice.
    char sender[kChannelArea];
    sender[0] = '\0';
    int nSender = SenderLength(pszLine, pszCommand);
    if (nSender < 0 && pszCommand != pszLine)
        nSender = static_cast<int>(pszCommand - pszLine - 1);
    if (nSender > 0)
        AppendText(sender, sizeof(sender), pszLine, static_cast<size_t>(nSender));
    const char* pszNick = sender[0] != '\0' ? sender + 1 : sender;

    // The body is the whole trailing parameter: values may hold colons.
    const char* pszBody = Trailing(pszCommand);
    if (pszBody == nullptr)
        return;
    Tokenizer words(pszBody, ' ');
    bool bUpdate = std::strcmp(words.GetToken(0), "ZYMATTRIBUPDATE") == 0;

    char text[kMessageTextArea];
    {
        ScopedThreadLock hold(m_TableLock);
        if (target[0] == '#')
        {
            ZymString serverName(target);
            if (!m_HostNames.hasKey(serverName))
                return;
            ZymString hostName = m_HostNames.lookup(serverName);

            if (std::strcmp(words.GetToken(0), "ZYMATTRIBREQUEST") == 0)
            {
                // The answer goes to the whole channel: servers take a word
                // between the target and the text as the text itself, so an
                // answer addressed to the requester that way never arrives.
                // A request that comes while the answers to an earlier one
                // still wait in the queue is answered by them.
                if (!m_Channels.hasKey(hostName))
                    return;
                ChannelEntry* pEntry = m_Channels.lookup(hostName);
                if (pEntry->m_nAnswersQueuedUntil > m_nLinesTaken.load())
                    return;
                SendAttributesHeld(target);
                pEntry->m_nAnswersQueuedUntil = m_nLinesQueued.load();
                return;
            }
            if (!bUpdate || words.GetCount() < 3)
                return;
            std::snprintf(text, sizeof(text), "%s %s %s %s", hostName.Text(), pszNick,
                          words.GetToken(1), words.GetToken(2));
        }
        else
        {
            // The private form names the channel in the body.
            if (words.GetCount() < 3)
                return;
            ZymString serverName(words.GetToken(1));
            if (!m_HostNames.hasKey(serverName) || !bUpdate)
                return;
            ZymString hostName = m_HostNames.lookup(serverName);
            const char* pszHost = hostName.Length() > 0 ? hostName.Text() + 1 : "";
            std::snprintf(text, sizeof(text), "%s %s %s", pszHost, pszNick, words.GetToken(2));
        }
    }
    m_pEventSink->NotifyText(CHAT_EVENT_ATTRIBUTE, text);
}

void ZymChat::OnInvite(char* pszLine)
{
    const char* pszCommand = CommandWord(pszLine);
    if (!CutToSender(pszLine, pszCommand))
        return;
    const char* pszChannel = std::strchr(pszCommand, '#');
    if (pszChannel == nullptr)
        return;

    char text[kInviteTextArea];
    std::snprintf(text, sizeof(text), "%s %s", pszLine + 1, pszChannel);
    m_pEventSink->NotifyText(CHAT_EVENT_INVITE, text);
}
