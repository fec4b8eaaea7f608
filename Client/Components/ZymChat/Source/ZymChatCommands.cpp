#include "ZymChat.h"

#include "OutgoingLine.h"
#include "SessionOutput.h"

int ZymChat::SendChannelMessage(const char* pszChannel, const char* pszMessage)
{
    SessionOutput out;
    if (!m_Session.ChannelMessage(pszChannel, pszMessage, out))
        return -1;
    return Route(out);
}

void ZymChat::SendPrivateMessage(const char* pszChannel, const char* pszMessage,
                                 const char* pszNickname)
{
    SessionOutput out;
    m_Session.PrivateMessage(pszChannel, pszMessage, pszNickname, out);
    Route(out);
}

void ZymChat::SendInvite(const char* pszChannel, const char* pszNickname)
{
    SessionOutput out;
    m_Session.Invite(pszChannel, pszNickname, out);
    Route(out);
}

void ZymChat::SendAttributeUpdate(const char* pszKey, const char* pszValue)
{
    SessionOutput out;
    m_Session.AttributeUpdate(pszKey, pszValue, out);
    Route(out);
}

void ZymChat::RequestNames(const char* pszChannel)
{
    m_pEventSink->NotifyText(CHAT_EVENT_NAMES, pszChannel);
    SessionOutput out;
    m_Session.NamesRequest(pszChannel, out);
    Route(out);
}

void ZymChat::ListChannels()
{
    // Before the welcome, the first welcome asks for the list.
    if (!m_Session.ListNow())
        return;
    m_pEventSink->NotifyText(CHAT_EVENT_LIST_START, nullptr);
    sendTxt("LIST");
}

void ZymChat::SetNickname(const char* pszNickname)
{
    SessionOutput out;
    m_Session.SetNickname(pszNickname, out);
    Route(out);
}

void ZymChat::JoinChannel(const char* pszChannel, int nKind)
{
    SessionOutput out;
    m_Session.JoinChannel(pszChannel, nKind, out);
    Route(out);
}

void ZymChat::LeaveChannel(const char* pszChannel)
{
    SessionOutput out;
    m_Session.LeaveChannel(pszChannel, out);
    Route(out);
}

void ZymChat::SendNotice(const char* pszTarget, const char* pszMessage, const char* pszExtra)
{
    SessionOutput out;
    m_Session.Notice(pszTarget, pszMessage, pszExtra, out);
    Route(out);
}

void ZymChat::SetMode(const char* pszTarget, const char* pszMode, const char* pszArgument)
{
    if (pszTarget == nullptr || pszMode == nullptr)
        return;
    sendTxt(OutgoingLine::Mode(pszTarget, pszMode, pszArgument).c_str());
}
