#ifndef CONTRACT_CHATCOMPONENT_H
#define CONTRACT_CHATCOMPONENT_H

#include "MessagingComponent.h"

namespace contract
{
// The chat operations, continuing the table of MessagingComponent.
class ChatComponent : public MessagingComponent
{
public:
    virtual void SetOptionFlag(unsigned char flag) = 0;
    virtual int ConnectToServer(const char* server) = 0;
    virtual int SendChannelMessage(const char* channel, const char* message) = 0;
    virtual void SendNotice(const char* target, const char* message, const char* extra) = 0;
    virtual void SendInvite(const char* channel, const char* nickname) = 0;
    virtual void SendAttributeUpdate(const char* key, const char* value) = 0;
    virtual void JoinChannel(const char* channel, int kind) = 0;
    virtual void SetMode(const char* target, const char* mode, const char* argument) = 0;
};

typedef ChatComponent* (__cdecl* CreateComponentFunction)(const char* name);
typedef int (__cdecl* LibraryCanUnloadFunction)();
}

#endif
