#ifndef DEMOPARTICIPANT_H
#define DEMOPARTICIPANT_H

#include <string>

#include "ChatLibrary.h"
#include "ConsoleWriter.h"
#include "RecordingSink.h"

// One side of the demo conversation: a component of its own with a sink that
// prints what this side hears, prefixed with its name, and remembers it so the
// script can wait for the answer to each step.
class DemoParticipant
{
public:
    DemoParticipant(const std::string& label, ConsoleWriter& out);
    // Quits if still connected and releases the component, which waits for
    // its background thread.
    ~DemoParticipant();

    bool Create(const ChatLibrary& library);
    ChatComponent& Chat();

    // Waits until this side has received a text event with the code whose text
    // equals expected; prints what is awaited when it does not come in time.
    bool Expect(int code, const std::string& expected, int timeoutMs);
    // The same for a text that may take either of two forms.
    bool ExpectEither(int code, const std::string& expected, const std::string& other,
                      int timeoutMs);

    void Say(const std::string& what);
    void Quit();

private:
    DemoParticipant(const DemoParticipant&) = delete;
    DemoParticipant& operator=(const DemoParticipant&) = delete;

    std::string m_Label;
    ConsoleWriter& m_Out;
    RecordingSink m_Sink;
    ChatComponent* m_pChat;
    bool m_bQuit;
};

#endif
