#ifndef ZYM_EVENTTIME_H
#define ZYM_EVENTTIME_H

#include <string>

// Times of events as hosts read them: UTC, "YYYY-MM-DDThh:mm:ss.sssZ", the
// form of the IRCv3 server-time tag.
class EventTime
{
public:
    // The time now, by this machine's clock.
    static std::string Now();
    // Whether a server's tag has exactly that form.
    static bool IsStamp(const std::string& text);
    // A count of seconds since 1970 (numeric 333) in that form; empty when
    // the text is no such count.
    static std::string FromUnixSeconds(const std::string& text);
};

#endif
