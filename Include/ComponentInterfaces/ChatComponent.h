#ifndef ZYM_CHATCOMPONENT_H
#define ZYM_CHATCOMPONENT_H

#include "MessagingComponent.h"

// The chat operations a host drives, continuing the virtual table of
// MessagingComponent. Texts are zero-terminated.
class ChatComponent : public MessagingComponent
{
public:
    // Kept only.
    virtual void SetOptionFlag(unsigned char bFlag) = 0;
    // Connects to the server on port 6667 in the background and logs in;
    // failures reach ReportError (-1001, -1005). 1 when accepted, 0 when
    // ignored because the server already welcomed this object (a new
    // connection needs a new object). After the server closed the connection,
    // call Quit before connecting again.
    virtual int ConnectToServer(const char* pszServer) = 0;
    // 1 queued; 0 refused (a text with CR or LF, or a line over 510
    // characters: nothing is sent, the message is not split) or queuing
    // failed; -1 unknown channel, no confirmed join, or before the welcome.
    virtual int SendChannelMessage(const char* pszChannel, const char* pszMessage) = 0;
    // A notice to a joined channel, under the host's or the server's name
    // for it; pszExtra, when not null, is a word before the text. Nothing
    // before the welcome, for any other target, or for a refused text.
    virtual void SendNotice(const char* pszTarget, const char* pszMessage,
                            const char* pszExtra) = 0;
    // Invites a nickname to a joined channel. Nothing before the welcome,
    // for a channel without a confirmed join, or for a refused text.
    virtual void SendInvite(const char* pszChannel, const char* pszNickname) = 0;
    // Keeps the attribute and announces it to every joined channel (and to
    // channels joined later, and to members who ask). Refused whole, not
    // kept, when key or value holds CR or LF or a notice to a joined channel
    // would not make one line.
    virtual void SendAttributeUpdate(const char* pszKey, const char* pszValue) = 0;
    // Joins a channel, at once or at the welcome; kind 3 asks for a secret
    // channel. A name whose JOIN line would be refused is not taken into the
    // channel table.
    virtual void JoinChannel(const char* pszChannel, int nKind) = 0;
    // Sends a mode change as given (also before the welcome); pszArgument
    // may be null. Nothing for a refused text.
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
