#ifndef ZYM_MESSAGINGCOMPONENT_H
#define ZYM_MESSAGINGCOMPONENT_H

#include "BaseComponent.h"

class ChatEventSink;

// <windows.h> maps SendMessage to SendMessageA or SendMessageW. The operation
// is declared with the macro out of the way, so its name and slot are the same
// whether a host includes <windows.h> before or after this header; the two
// forwarders keep calls compiling that the macro has renamed.
#pragma push_macro("SendMessage")
#undef SendMessage

// The messaging operations of a component, in the order of the virtual table.
//
// Every operation that sends queues its line and returns at once; answers come
// through the sink. A protocol line holds at most 510 characters and no CR or
// LF: a text that would make a longer line, or that holds CR or LF, is refused
// whole, before anything changes and without a line sent (a text cannot make
// two commands). Channels are named as the host joined them.
class MessagingComponent : public BaseComponent
{
public:
    // The sink is not owned and no reference is taken; it must be set before
    // any operation that reaches the network.
    virtual void SetEventSink(ChatEventSink* pSink) = 0;
    // The same as ConnectToServer.
    virtual int Connect(const char* pszServer) = 0;
    // Sends QUIT and closes the connection once it has gone out. Without a
    // live connection (never connected, failed, or closed by the server) it
    // sends nothing and only closes the socket, so a later login is clean.
    // From inside a sink call it returns at once; the connection ends right
    // after the QUIT line.
    virtual void Quit() = 0;
    virtual void Reserved1() = 0;
    virtual void Reserved2() = 0;
    // The same as SendChannelMessage.
    virtual int SendMessage(const char* pszChannel, const char* pszMessage) = 0;
    // A message to a joined channel (nickname null) or to a nickname
    // (channel ignored). Nothing before the welcome, for a channel without a
    // confirmed join, or for a refused text.
    virtual void SendPrivateMessage(const char* pszChannel, const char* pszMessage,
                                    const char* pszNickname) = 0;
    virtual void Reserved3() = 0;
    virtual void Reserved4() = 0;
    // Asks for the channel list: CHAT_EVENT_LIST_START, entries, then
    // CHAT_EVENT_LIST_END. Before the welcome it is asked for at the welcome.
    virtual void ListChannels() = 0;
    // Always notifies CHAT_EVENT_NAMES with the channel; then asks for its
    // members, which arrive as CHAT_EVENT_MEMBER. Nothing is sent for a
    // channel without a confirmed join.
    virtual void RequestNames(const char* pszChannel) = 0;
    // Leaves a joined channel; a channel still being joined is left as soon
    // as the join is confirmed. Nothing for a channel never joined.
    virtual void LeaveChannel(const char* pszChannel) = 0;
    // JoinChannel with kind 0.
    virtual void Join(const char* pszChannel) = 0;
    virtual void EnterChannel(const char* pszChannel) = 0;
    // The nickname for the login, or a change of it once logged in (also
    // between the login and the welcome, to replace a refused nickname).
    // Refused, keeping the old one, when "NICK " and it would not make one
    // line. A nickname the server refuses (error 433 or 436) is not kept:
    // the component goes on with the one the server confirmed last, unless
    // the host answers the error with nonzero, which empties it.
    virtual void SetNickname(const char* pszNickname) = 0;
    // Kept only; never sent.
    virtual void SetHostText(const char* pszText) = 0;
    // The full and user names of the login, cut to 99 characters there. A
    // text holding CR or LF is refused and the old one kept.
    virtual void SetRealName(const char* pszRealName) = 0;
    virtual void SetUserName(const char* pszUserName) = 0;

    int SendMessageA(const char* pszChannel, const char* pszMessage)
    {
        return SendMessage(pszChannel, pszMessage);
    }
    int SendMessageW(const char* pszChannel, const char* pszMessage)
    {
        return SendMessage(pszChannel, pszMessage);
    }
};

#pragma pop_macro("SendMessage")

#endif
