#include "ZymChat.h"

#include <cstdio>
#include <ctime>
#include <string>

#include "ChannelEntry.h"
#include "IrcMessage.h"
#include "ScopedThreadLock.h"

namespace
{
    // Text areas of the handlers here, terminator included.
    const size_t kMessageTextArea = 516;
    const size_t kInviteTextArea = 520;

    // The body of an attribute notice, "WORD first rest": the rest is every
    // character after the second blank, blanks and colons included, as the
    // sender's value may hold them.
    struct AttributeBody
    {
        explicit AttributeBody(const std::string& body) : m_bComplete(false)
        {
            std::string::size_type nFirst = body.find(' ');
            m_Word = body.substr(0, nFirst);
            if (nFirst == std::string::npos)
                return;
            std::string::size_type nSecond = body.find(' ', nFirst + 1);
            m_First = body.substr(nFirst + 1, nSecond - nFirst - 1);
            if (nSecond == std::string::npos)
                return;
            m_Rest = body.substr(nSecond + 1);
            m_bComplete = true;
        }

        std::string m_Word;
        std::string m_First;
        std::string m_Rest;
        // The word, the first field and the rest are all there.
        bool m_bComplete;
    };
}

void ZymChat::OnPrivmsg(const IrcMessage& message)
{
    // "PRIVMSG target text": only a message to a channel is a channel
    // message; one to our own nickname is dropped whatever its text holds.
    if (!message.FromUser() || message.ParameterCount() != 2)
        return;
    const std::string& target = message.Parameter(0);
    ZymString hostName;
    {
        ScopedThreadLock hold(m_TableLock);
        if (!m_ServerRules.IsChannel(target))
            return;
        if (!HostNameOfHeld(target, hostName))
        {
            Log("---> Received message from a channel we're not in: %s, %d\n", target.c_str(),
                static_cast<int>(std::time(nullptr)));
            return;
        }
    }

    char text[kMessageTextArea];
    std::snprintf(text, sizeof(text), "%s %s %s", hostName.Text(), message.Source().c_str(),
                  message.Parameter(1).c_str());
    m_pEventSink->NotifyText(CHAT_EVENT_MESSAGE, text);
}

void ZymChat::OnNotice(const IrcMessage& message)
{
    // "NOTICE target body": the attribute exchange between members.
    if (message.ParameterCount() < 2)
        return;
    const std::string& target = message.Parameter(0);
    const std::string& sender = message.Source();
    AttributeBody body(message.Parameter(message.ParameterCount() - 1));
    bool bUpdate = body.m_Word == "ZYMATTRIBUPDATE";

    char text[kMessageTextArea];
    {
        ScopedThreadLock hold(m_TableLock);
        if (m_ServerRules.IsChannel(target))
        {
            ZymString hostName;
            if (!HostNameOfHeld(target, hostName))
                return;

            if (body.m_Word == "ZYMATTRIBREQUEST")
            {
                // The answer goes to the whole channel: servers take a word
                // between the target and the text as the text itself, so an
                // answer addressed to the requester that way never arrives.
                // A request that comes while the answers to an earlier one
                // still wait in the queue is answered by them.
                if (!m_Channels.hasKey(hostName) || !m_ServerNames.hasKey(hostName))
                    return;
                ChannelEntry* pEntry = m_Channels.lookup(hostName);
                if (pEntry->m_nAnswersQueuedUntil > m_nLinesTaken.load())
                    return;
                SendAttributesHeld(m_ServerNames.lookup(hostName).Text());
                pEntry->m_nAnswersQueuedUntil = m_nLinesQueued.load();
                return;
            }
            if (!bUpdate || !body.m_bComplete)
                return;
            std::snprintf(text, sizeof(text), "%s %s %s %s", hostName.Text(), sender.c_str(),
                          body.m_First.c_str(), body.m_Rest.c_str());
        }
        else
        {
            // The private form names the channel in the body.
            ZymString hostName;
            if (!bUpdate || !body.m_bComplete || !HostNameOfHeld(body.m_First, hostName))
                return;
            const char* pszHost = hostName.Length() > 0 ? hostName.Text() + 1 : "";
            std::snprintf(text, sizeof(text), "%s %s %s", pszHost, sender.c_str(),
                          body.m_Rest.c_str());
        }
    }
    m_pEventSink->NotifyText(CHAT_EVENT_ATTRIBUTE, text);
}

void ZymChat::OnInvite(const IrcMessage& message)
{
    // "INVITE nick channel"
    if (!message.FromUser() || message.ParameterCount() < 2)
        return;
    const std::string& channel = message.Parameter(1);
    {
        ScopedThreadLock hold(m_TableLock);
        if (!m_ServerRules.IsChannel(channel))
            return;
    }
    char text[kInviteTextArea];
    std::snprintf(text, sizeof(text), "%s %s", message.Source().c_str(), channel.c_str());
    m_pEventSink->NotifyText(CHAT_EVENT_INVITE, text);
}
