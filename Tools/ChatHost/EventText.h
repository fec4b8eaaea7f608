#ifndef EVENTTEXT_H
#define EVENTTEXT_H

#include <string>

#include "EventRecord.h"

// Turns one sink call into a line a person can read. The component's texts
// are blank-separated fields; where a text has fewer fields than its event
// carries, the text is shown as it came.
class EventText
{
public:
    static std::string Describe(const EventRecord& record);

    // Field index (0-based) of a blank-separated text; the last field asked
    // for with rest set takes everything behind it. Empty when absent.
    static std::string Field(const std::string& text, int index, bool rest = false);
};

#endif
