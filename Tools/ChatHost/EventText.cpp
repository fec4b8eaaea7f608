#include "EventText.h"

#include "ComponentInterfaces/ExtendedChatEventSink.h"

namespace
{
int FieldCount(const std::string& text)
{
    if (text.empty())
    {
        return 0;
    }
    int count = 1;
    for (char c : text)
    {
        if (c == ' ')
        {
            ++count;
        }
    }
    return count;
}

std::string Raw(const char* label, const EventRecord& record)
{
    return std::string(label) + ": " + (record.hasText ? record.text : std::string("(no text)"));
}

std::string DescribeText(const EventRecord& record)
{
    const std::string& t = record.text;
    switch (record.code)
    {
    case CHAT_EVENT_MOTD:
        return "motd: " + t;
    case CHAT_EVENT_MESSAGE:
        if (FieldCount(t) < 2)
        {
            return Raw("message", record);
        }
        return EventText::Field(t, 0) + " <" + EventText::Field(t, 1) + "> " +
               EventText::Field(t, 2, true);
    case CHAT_EVENT_LIST_ENTRY:
        return "list entry: " + t;
    case CHAT_EVENT_LIST_START:
        return "channel list requested";
    case CHAT_EVENT_MEMBER:
        if (FieldCount(t) != 2)
        {
            return Raw("member", record);
        }
        return EventText::Field(t, 0) + ": " + EventText::Field(t, 1) + " is here";
    case CHAT_EVENT_PART:
        if (FieldCount(t) != 2)
        {
            return Raw("part", record);
        }
        return EventText::Field(t, 0) + ": " + EventText::Field(t, 1) + " has left";
    case CHAT_EVENT_NAMES:
        return record.hasText ? "names requested for " + t : std::string("names requested");
    case CHAT_EVENT_ATTRIBUTE:
        if (FieldCount(t) == 4)
        {
            return EventText::Field(t, 0) + ": " + EventText::Field(t, 1) + " has " +
                   EventText::Field(t, 2) + " = " + EventText::Field(t, 3);
        }
        return Raw("attribute", record);
    case CHAT_EVENT_INVITE:
        if (FieldCount(t) < 2)
        {
            return Raw("invitation", record);
        }
        return EventText::Field(t, 0) + " invites you to " + EventText::Field(t, 1, true);
    case CHAT_EVENT_NICK:
        if (FieldCount(t) != 3)
        {
            return Raw("nickname change", record);
        }
        return EventText::Field(t, 2) + ": " + EventText::Field(t, 0) + " is now known as " +
               EventText::Field(t, 1);
    default:
        return "event " + std::to_string(record.code) + ": " +
               (record.hasText ? t : std::string("(no text)"));
    }
}
}

namespace
{
std::string Tags(const EventRecord& record)
{
    std::string tags = " [" + record.time;
    if (!record.account.empty())
    {
        tags += " account=" + record.account;
    }
    if (!record.messageId.empty())
    {
        tags += " msgid=" + record.messageId;
    }
    return tags + "]";
}

std::string DescribeDetail(const EventRecord& r)
{
    std::string line;
    switch (r.code)
    {
    case CHAT_EVENT_MESSAGE_DETAILS:
        line = r.channel + " <" + r.nickname + "> " + r.text;
        break;
    case CHAT_EVENT_QUIT:
        line = r.nickname + " has quit (" + r.text + ")";
        break;
    case CHAT_EVENT_KICK:
        line = r.channel + ": " + r.nickname + " was kicked by " + r.source + " (" + r.text + ")";
        break;
    case CHAT_EVENT_TOPIC:
        line = r.channel + ": topic" + (r.source.empty() ? "" : " set by " + r.source) + ": " + r.text;
        break;
    case CHAT_EVENT_TOPIC_SETTER:
        line = r.channel + ": topic set by " + r.source + " at " + r.text;
        break;
    case CHAT_EVENT_MODE:
        line = (r.channel.empty() ? r.nickname : r.channel) + ": mode " + r.text + " by " + r.source;
        break;
    case CHAT_EVENT_AWAY:
        line = r.text.empty() ? r.nickname + " is back" : r.nickname + " is away: " + r.text;
        break;
    case CHAT_EVENT_ACCOUNT:
        line = r.account.empty() ? r.nickname + " logged out"
                                 : r.nickname + " logged in as " + r.account;
        return line + " [" + r.time + "]";
    case CHAT_EVENT_HOST_CHANGE:
        line = r.nickname + " is now " + EventText::Field(r.text, 0) + "@" + EventText::Field(r.text, 1);
        break;
    case CHAT_EVENT_INVITED_OTHER:
        line = r.source + " invited " + r.nickname + " to " + r.channel;
        break;
    case CHAT_EVENT_CAPABILITIES:
        return "capabilities: " + (r.text.empty() ? std::string("(none)") : r.text);
    case CHAT_EVENT_LOGGED_IN:
        return "logged in as " + r.account;
    default:
        line = "event " + std::to_string(r.code) + ": " + r.text;
        break;
    }
    return line + Tags(r);
}
}

std::string EventText::Field(const std::string& text, int index, bool rest)
{
    std::string::size_type start = 0;
    for (int i = 0; i < index; ++i)
    {
        std::string::size_type blank = text.find(' ', start);
        if (blank == std::string::npos)
        {
            return std::string();
        }
        start = blank + 1;
    }
    if (rest)
    {
        return text.substr(start);
    }
    std::string::size_type end = text.find(' ', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string EventText::Describe(const EventRecord& record)
{
    switch (record.kind)
    {
    case EventRecord::Error:
        return "error " + std::to_string(record.code) + ": " + record.text;
    case EventRecord::Event:
        if (record.code == CHAT_EVENT_LIST_END)
        {
            return "end of channel list";
        }
        return "event " + std::to_string(record.code) + " value " + std::to_string(record.value);
    case EventRecord::Detail:
        return DescribeDetail(record);
    case EventRecord::Text:
        break;
    }
    return DescribeText(record);
}
