#ifndef EVENTRECORD_H
#define EVENTRECORD_H

#include <string>

// One call the component made on the host's sink, copied out of the call
// (the component's texts are valid during the call only).
struct EventRecord
{
    enum Kind
    {
        Event,  // NotifyEvent: code and value
        Text,   // NotifyText: code and text, which may be null
        Error,  // ReportError: code and text
        Detail  // NotifyDetails: code, text and the fields below
    };

    Kind kind;
    int code;
    int value;
    bool hasText;
    std::string text;
    // The fields of ChatEventDetails other than the text (Detail only).
    std::string channel = std::string();
    std::string nickname = std::string();
    std::string source = std::string();
    std::string account = std::string();
    std::string time = std::string();
    std::string messageId = std::string();
};

#endif
