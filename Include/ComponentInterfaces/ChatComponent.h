#ifndef ZYM_CHATCOMPONENT_H
#define ZYM_CHATCOMPONENT_H

#include "MessagingComponent.h"

// The chat operations a host drives, continuing the virtual table of
// MessagingComponent. Texts are zero-terminated.
class ChatComponent : public MessagingComponent
{
public:
    virtual void SetOptionFlag(unsigned char bFlag) = 0;
    // 1 when accepted, 0 when ignored because the server already welcomed
    // this object (a new connection needs a new object).
    virtual int ConnectToServer(const char* pszServer) = 0;
    // 1 queued, 0 queuing failed, -1 unknown channel or no confirmed join.
    virtual int SendChannelMessage(const char* pszChannel, const char* pszMessage) = 0;
    virtual void SendNotice(const char* pszTarget, const char* pszMessage,
                            const char* pszExtra) = 0;
    virtual void SendInvite(const char* pszChannel, const char* pszNickname) = 0;
    virtual void SendAttributeUpdate(const char* pszKey, const char* pszValue) = 0;
    // Kind 3 asks for a secret channel.
    virtual void JoinChannel(const char* pszChannel, int nKind) = 0;
    virtual void SetMode(const char* pszTarget, const char* pszMode,
                         const char* pszArgument) = 0;
};

// The library's two exports (C linkage, cdecl, undecorated), for hosts that
// find them with GetProcAddress. The name "ZymChatComponent" creates a chat
// component carrying one reference; any other name gives null.
typedef ChatComponent* (__cdecl* ZymCreateComponentProc)(const char* pszName);
// 1 once no component object of the library is left, else 0.
typedef int (__cdecl* ZymLibraryCanUnloadProc)();

#endif
