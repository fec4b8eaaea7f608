#ifndef ZYM_EXTENDEDCHATCOMPONENT_H
#define ZYM_EXTENDEDCHATCOMPONENT_H

#include "ChatComponent.h"

class ExtendedChatEventSink;

// The name CreateComponent takes for an object that implements this
// interface; its result is then safely cast to ExtendedChatComponent*. The
// same object answers GetInterface("ExtendedChatComponent", 1 or 2).
#define ZYM_EXTENDED_CHAT_COMPONENT_NAME "ZymChatComponent2"

// Flags of SetSaslLogin.
enum SaslLoginFlags
{
    // Without a login the connection ends: no welcome without the account.
    SASL_LOGIN_REQUIRED = 1,
    // The password may go over a connection without TLS.
    SASL_LOGIN_ALLOW_PLAINTEXT = 2
};

// ChatComponent with operations appended after SetMode: the first slots of
// the virtual table are ChatComponent's, unchanged.
//
// At every login the component negotiates capabilities ("CAP LS 302" before
// NICK and USER, then "CAP END"); a server that does not know CAP is logged
// in to as before. A host of ChatComponent alone requests no capability and
// hears exactly the events of ChatEventSink. Once SetExtendedEventSink was
// called, the component requests every capability it supports that the
// server offers (multi-prefix, server-time, message-tags, account-tag,
// away-notify, account-notify, extended-join, chghost, batch, invite-notify,
// userhost-in-names, cap-notify; echo-message and sasl on request), logs in
// with SASL when asked, and reports the events of ExtendedChatEventCode.
class ExtendedChatComponent : public ChatComponent
{
public:
    // Sets the sink as SetEventSink does, and marks it as one that also
    // takes NotifyDetails. Call it instead of SetEventSink, before
    // ConnectToServer. With it, a KICK of ourselves takes the channel out of
    // the channel table.
    virtual void SetExtendedEventSink(ExtendedChatEventSink* pSink) = 0;
    // Asks for a capability the component does not request by itself at the
    // next login; today only "echo-message" (our own messages come back as
    // CHAT_EVENT_MESSAGE). 1 taken, 0 unknown name.
    virtual int RequestCapability(const char* pszName) = 0;
    // The SASL login of the next connection: mechanism "PLAIN" or
    // "SCRAM-SHA-256", the account and its password, and SaslLoginFlags.
    // Without TLS the password is sent only with SASL_LOGIN_ALLOW_PLAINTEXT.
    // Mechanism "EXTERNAL" logs in with the client certificate of
    // SetClientCertificate: no password (null or empty), and the account is
    // the identity to act as, or null or empty for the one the certificate
    // is registered to. It needs an ircs:// connection with a certificate
    // named; SASL_LOGIN_ALLOW_PLAINTEXT changes nothing for it.
    // A failure reaches ReportError with a code and a text that begins
    // with it: the server's numerics 902 to 908 with the server's text;
    // -1010 when the server offers no SASL or not this mechanism, or
    // welcomes us without the login; -1011 when the connection has no TLS
    // and plaintext was not allowed, or for EXTERNAL when it has no TLS or
    // no client certificate was named; -1012 when the server's answers are
    // malformed, its signature does not match (the exchange is then
    // aborted) or it claims success before the exchange ended. A nonzero
    // answer, or SASL_LOGIN_REQUIRED, ends the connection with QUIT. A null
    // mechanism clears the login, and aborts an exchange under way before
    // the password goes out. 1 taken, 0 refused (an unknown mechanism, or a
    // null or empty account or password, or one holding CR, LF or NUL; for
    // EXTERNAL, a password or an account holding CR or LF).
    virtual int SetSaslLogin(const char* pszMechanism, const char* pszAccount,
                             const char* pszPassword, int nFlags) = 0;
    // The client certificate that ircs:// connections from the next
    // ConnectToServer on present when the server asks for one: its SHA-1
    // thumbprint, 40 hex digits of either case, blanks allowed between the
    // pairs, of a certificate in the current user's "MY" store (else the
    // local machine's) with a private key this user may sign with, without
    // a prompt. It is looked up at connect: when it is missing, or its key
    // cannot be used or would not be presented, the connect fails and
    // ReportError hears -1013 with a text naming the thumbprint; no line of
    // the login reaches the server. Null or empty clears it. 1 taken, 0
    // refused (not a thumbprint; the one set before stays).
    virtual int SetClientCertificate(const char* pszThumbprint) = 0;
};

#endif
