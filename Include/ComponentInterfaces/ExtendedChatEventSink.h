#ifndef ZYM_EXTENDEDCHATEVENTSINK_H
#define ZYM_EXTENDEDCHATEVENTSINK_H

#include "ChatEventSink.h"

// Codes of NotifyDetails. They never reach NotifyText or NotifyEvent, and a
// host of ChatEventSink alone never hears them.
enum ExtendedChatEventCode
{
    // Another user left the network: nickname, text (the reason).
    CHAT_EVENT_QUIT = 100,
    // A member was put out of a channel: channel, nickname (the member),
    // source (who did it), text (the reason). When the member is us, the
    // channel has left the channel table: it must be joined again.
    CHAT_EVENT_KICK = 101,
    // A channel's topic: channel, source (who set it; empty for the topic
    // the server reports at a join), text (the topic; empty when cleared).
    CHAT_EVENT_TOPIC = 102,
    // Who set a channel's topic and when (numeric 333): channel, source,
    // text (the time it was set, in the form of ChatEventDetails::pszTime).
    CHAT_EVENT_TOPIC_SETTER = 103,
    // A mode change: channel (empty for a user's own modes), nickname (the
    // target when it is a user), source, text (the mode words as sent,
    // separated by one blank).
    CHAT_EVENT_MODE = 104,
    // A user went away (text: the away message) or came back (empty text).
    CHAT_EVENT_AWAY = 105,
    // A user logged in to an account (account) or out (empty account).
    CHAT_EVENT_ACCOUNT = 106,
    // A user's user name and host changed: nickname, text "user host".
    CHAT_EVENT_HOST_CHANGE = 107,
    // Someone was invited to a channel we are in: channel (as the server
    // wrote it), nickname (the invited), source (who invited).
    CHAT_EVENT_INVITED_OTHER = 108,
    // The capabilities in effect changed: text (their names, separated by
    // one blank; empty when none).
    CHAT_EVENT_CAPABILITIES = 109,
    // The server confirmed our login to an account (numeric 900): account.
    CHAT_EVENT_LOGGED_IN = 110,
    // The tags of a channel message: channel, nickname (the sender), text
    // (the message), account, time, msgid. The CHAT_EVENT_MESSAGE of the
    // same message reaches NotifyText right after this call, so a host can
    // show the message with the server's time and the sender's account.
    CHAT_EVENT_MESSAGE_DETAILS = 111
};

// The fields of one event. Every text is zero-terminated and never null: a
// field the event does not have is empty. Valid during the call only.
struct ChatEventDetails
{
    // sizeof(ChatEventDetails) as the component knows it; fields appended
    // later lie beyond it.
    int nSize;
    // The host's name of the channel (the server's where the host has none).
    const char* pszChannel;
    const char* pszNickname;
    const char* pszSource;
    const char* pszText;
    // The account of the user the line came from (the "account" tag), or
    // of an ACCOUNT or login event.
    const char* pszAccount;
    // When the server saw the event, in UTC, "YYYY-MM-DDThh:mm:ss.sssZ":
    // the server's own stamp where the server-time capability is in effect,
    // else the time the component read the line.
    const char* pszTime;
    // The server's identifier of the message (the "msgid" tag).
    const char* pszMessageId;
};

// The callback object of a host of ExtendedChatComponent: every operation of
// ChatEventSink, called as for any host, and one appended for the events of
// ExtendedChatEventCode. Handed over with SetExtendedEventSink.
class ExtendedChatEventSink : public ChatEventSink
{
public:
    virtual void NotifyDetails(int nCode, const ChatEventDetails* pDetails) = 0;

protected:
    ~ExtendedChatEventSink() {}
};

#endif
