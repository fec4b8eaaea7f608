#include "ChatSession.h"

#include <cstdio>
#include <ctime>
#include <string>

#include "ChannelEntry.h"
#include "ChatEventSink.h"
#include "ExtendedChatEventSink.h"
#include "IrcMessage.h"
#include "LineCounts.h"
#include "OutgoingLine.h"
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

void ChatSession::OnPrivmsg(const IrcMessage& message, SessionOutput& out)
{
    // "PRIVMSG target text": only a message to a channel is a channel
    // message; one to our own nickname is dropped whatever its text holds.
    if (!message.FromUser() || message.ParameterCount() != 2)
        return;
    const std::string& target = message.Parameter(0);
    ZymString hostName;
    if (!m_ServerRules.IsChannel(target))
        return;
    if (!HostNameOfHeld(target, hostName))
    {
        out.Log("---> Received message from a channel we're not in: %s, %d\n", target.c_str(),
                static_cast<int>(std::time(nullptr)));
        return;
    }

    if (m_bExtendedHost)
    {
        SessionOutput::Detail detail = DetailOf(message, CHAT_EVENT_MESSAGE_DETAILS);
        detail.m_Channel = hostName.Text();
        detail.m_Nickname = message.Source();
        detail.m_Source.clear();
        detail.m_Text = message.Parameter(1);
        out.NotifyDetail(detail);
    }
    char text[kMessageTextArea];
    std::snprintf(text, sizeof(text), "%s %s %s", hostName.Text(), message.Source().c_str(),
                  message.Parameter(1).c_str());
    out.Notify(CHAT_EVENT_MESSAGE, text);
}

void ChatSession::OnNotice(const IrcMessage& message, SessionOutput& out)
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
                if (pEntry->m_nAnswersQueuedUntil > m_LineCounts.Taken())
                    return;
                SendAttributesHeld(m_ServerNames.lookup(hostName).Text(), out);
                pEntry->m_nAnswersQueuedUntil = QueuedAfter(out);
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
    out.Notify(CHAT_EVENT_ATTRIBUTE, text);
}

void ChatSession::OnInvite(const IrcMessage& message, SessionOutput& out)
{
    // "INVITE nick channel"
    if (!message.FromUser() || message.ParameterCount() < 2)
        return;
    const std::string& channel = message.Parameter(1);
    if (!m_ServerRules.IsChannel(channel))
        return;
    // invite-notify: another member was invited to a channel of ours.
    if (m_Caps.Enabled("invite-notify") && !IsOwnNicknameHeld(message.Parameter(0)))
    {
        SessionOutput::Detail detail = DetailOf(message, CHAT_EVENT_INVITED_OTHER);
        detail.m_Channel = channel;
        detail.m_Nickname = message.Parameter(0);
        out.NotifyDetail(detail);
        return;
    }
    char text[kInviteTextArea];
    std::snprintf(text, sizeof(text), "%s %s", message.Source().c_str(), channel.c_str());
    out.Notify(CHAT_EVENT_INVITE, text);
}

void ChatSession::Notice(const char* pszTarget, const char* pszMessage, const char* pszExtra,
                         SessionOutput& out)
{
    ScopedThreadLock hold(m_TableLock);
    NoticeHeld(pszTarget, pszMessage, pszExtra, out);
}

void ChatSession::NoticeHeld(const char* pszTarget, const char* pszMessage, const char* pszExtra,
                             SessionOutput& out)
{
    if (!m_bWelcomed || pszTarget == nullptr)
        return;

    // Notices go to confirmed channels only, named as the server names them;
    // both the host's and the server's name are accepted.
    ZymString target(pszTarget);
    ZymString resolved;
    if (m_ServerNames.hasKey(target))
        resolved = m_ServerNames.lookup(target);
    else if (m_HostNames.hasKey(target))
        resolved = target;
    else
        return;
    out.Send(OutgoingLine::Notice(resolved.Text(), pszExtra, pszMessage));
}

void ChatSession::SendAttributesHeld(const char* pszTarget, SessionOutput& out)
{
    typedef TList<LookupPair<ZymString, ZymString> > AttributeList;
    for (AttributeList::ConstIterator it(m_Attributes); it.hasCurrent(); it.Step())
    {
        std::string update = std::string("ZYMATTRIBUPDATE ") + it.iterator().m_Key.Text() + " " +
                             it.iterator().m_Value.Text();
        NoticeHeld(pszTarget, update.c_str(), nullptr, out);
    }
}
