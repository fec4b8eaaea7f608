#ifndef ZYM_FUZZ_FUZZCHAT_H
#define ZYM_FUZZ_FUZZCHAT_H

#include <cstddef>
#include <string>

#include "ExtendedChatEventSink.h"
#include "LineAssembler.h"
#include "ScriptedSocket.h"
#include "ZymChat.h"

class FuzzChat;

// A host that answers errors as told and, when told to, acts on the
// component from inside its sink calls with the texts it hears, as a host
// that echoes or joins what it is told about. Handed over as an extended
// sink it hears the events with details as well, and reacts to them alike.
class ReactingSink : public ExtendedChatEventSink
{
public:
    ReactingSink() : m_pChat(nullptr), m_nErrorAnswer(0), m_bReact(false), m_bInReaction(false) {}

    void Attach(FuzzChat* pChat, int nErrorAnswer, bool bReact);

    void NotifyEvent(int nCode, int nValue) override;
    void NotifyText(int nCode, const char* pszText) override;
    int ReportError(int nCode, const char* pszText) override;
    void NotifyDetails(int nCode, const ChatEventDetails* pDetails) override;

private:
    void React(int nCode, const char* pszText);

    FuzzChat* m_pChat;
    int m_nErrorAnswer;
    bool m_bReact;
    // A reaction that leads to another sink call does not react again.
    bool m_bInReaction;
};

// The component object driven without its background thread: server bytes
// go through the read step, line assembly and the router, and queued lines
// are taken off the queue and sent as the thread would. Every check that
// fails ends the process with a message, which the fuzzer reports.
class FuzzChat : public ZymChat
{
public:
    FuzzChat();

    // Reads the socket's script to its end, taking the queued lines after
    // every read.
    void Feed(ScriptedSocket& socket, LineAssembler& lines);
    // Checks and sends every queued line.
    void SendQueued(ScriptedSocket& socket);
    // Checks that what the component holds is bounded by the channels in its
    // table.
    void CheckState() const;

    using ZymChat::DispatchLine;
};

// Ends the process with the reason: a finding.
[[noreturn]] void FuzzFailure(const char* pszWhat, const std::string& detail);

#endif
