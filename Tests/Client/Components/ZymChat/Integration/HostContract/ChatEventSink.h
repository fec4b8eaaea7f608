#ifndef CONTRACT_CHATEVENTSINK_H
#define CONTRACT_CHATEVENTSINK_H

namespace contract
{
enum EventCode
{
    MOTD = 0,
    MESSAGE = 1,
    LIST_ENTRY = 2,
    LIST_START = 3,
    MEMBER = 4,
    PART = 5,
    NAMES = 6,
    ATTRIBUTE = 8,
    INVITE = 9,
    NICK = 10,
    LIST_END = 11
};

// The host's callback object: five operations, the first two never called.
class ChatEventSink
{
public:
    virtual void SinkReserved1() = 0;
    virtual void SinkReserved2() = 0;
    virtual void NotifyEvent(int code, int value) = 0;
    virtual void NotifyText(int code, const char* text) = 0;
    virtual int ReportError(int code, const char* text) = 0;

protected:
    ~ChatEventSink() {}
};
}

#endif
