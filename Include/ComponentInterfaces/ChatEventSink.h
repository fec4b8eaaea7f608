#ifndef ZYM_CHATEVENTSINK_H
#define ZYM_CHATEVENTSINK_H

// Codes of NotifyText (NotifyEvent for CHAT_EVENT_LIST_END). Fields of a text
// are separated by one blank; a channel field holds the host's name for it.
enum ChatEventCode
{
    CHAT_EVENT_MOTD = 0,        // message-of-the-day words
    CHAT_EVENT_MESSAGE = 1,     // channel, sender, message
    CHAT_EVENT_LIST_ENTRY = 2,  // the channel words of one list entry
    CHAT_EVENT_LIST_START = 3,  // null text, before "LIST" is sent
    CHAT_EVENT_MEMBER = 4,      // channel, nickname
    CHAT_EVENT_PART = 5,        // channel, nickname
    CHAT_EVENT_NAMES = 6,       // the channel asked for, or null
    CHAT_EVENT_ATTRIBUTE = 8,   // attribute update of another member
    CHAT_EVENT_INVITE = 9,      // inviter, channel as the server wrote it
    CHAT_EVENT_NICK = 10,       // old nickname, new nickname, channel
    CHAT_EVENT_LIST_END = 11    // NotifyEvent, value 0
};

// The host's callback object. The component calls it without a null test,
// takes no reference on it and never frees it; a text is valid during the call
// only. The order of the virtual operations is part of the binary contract.
class ChatEventSink
{
public:
    // Never called by the component; they keep their slots in the table.
    virtual void SinkReserved1() {}
    virtual void SinkReserved2() {}

    virtual void NotifyEvent(int nCode, int nValue) = 0;
    virtual void NotifyText(int nCode, const char* pszText) = 0;
    // Code and text of a failure; a nonzero answer makes the component treat
    // the failure as fatal to the operation that met it.
    virtual int ReportError(int nCode, const char* pszText) = 0;

protected:
    // The component never destroys a sink, so the destructor is not part of
    // the table.
    ~ChatEventSink() {}
};

#endif
