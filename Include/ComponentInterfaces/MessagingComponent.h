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
class MessagingComponent : public BaseComponent
{
public:
    // The sink is not owned and no reference is taken; it must be set before
    // any operation that reaches the network.
    virtual void SetEventSink(ChatEventSink* pSink) = 0;
    virtual int Connect(const char* pszServer) = 0;
    virtual void Quit() = 0;
    virtual void Reserved1() = 0;
    virtual void Reserved2() = 0;
    virtual int SendMessage(const char* pszChannel, const char* pszMessage) = 0;
    virtual void SendPrivateMessage(const char* pszChannel, const char* pszMessage,
                                    const char* pszNickname) = 0;
    virtual void Reserved3() = 0;
    virtual void Reserved4() = 0;
    virtual void ListChannels() = 0;
    virtual void RequestNames(const char* pszChannel) = 0;
    virtual void LeaveChannel(const char* pszChannel) = 0;
    virtual void Join(const char* pszChannel) = 0;
    virtual void EnterChannel(const char* pszChannel) = 0;
    virtual void SetNickname(const char* pszNickname) = 0;
    virtual void SetHostText(const char* pszText) = 0;
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
