#ifndef CONTRACT_MESSAGINGCOMPONENT_H
#define CONTRACT_MESSAGINGCOMPONENT_H

#include "BaseComponent.h"

namespace contract
{
class ChatEventSink;

// The messaging operations, in table order. The windows.h macro of the same
// name is not in reach here: this program includes windows.h only where it
// loads the library.
class MessagingComponent : public BaseComponent
{
public:
    virtual void SetEventSink(ChatEventSink* sink) = 0;
    virtual int Connect(const char* server) = 0;
    virtual void Quit() = 0;
    virtual void Reserved1() = 0;
    virtual void Reserved2() = 0;
    virtual int SendMessage(const char* channel, const char* message) = 0;
    virtual void SendPrivateMessage(const char* channel, const char* message,
                                    const char* nickname) = 0;
    virtual void Reserved3() = 0;
    virtual void Reserved4() = 0;
    virtual void ListChannels() = 0;
    virtual void RequestNames(const char* channel) = 0;
    virtual void LeaveChannel(const char* channel) = 0;
    virtual void Join(const char* channel) = 0;
    virtual void EnterChannel(const char* channel) = 0;
    virtual void SetNickname(const char* nickname) = 0;
    virtual void SetHostText(const char* text) = 0;
    virtual void SetRealName(const char* realName) = 0;
    virtual void SetUserName(const char* userName) = 0;
};
}

#endif
