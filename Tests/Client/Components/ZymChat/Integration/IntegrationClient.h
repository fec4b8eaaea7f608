#ifndef INTEGRATIONCLIENT_H
#define INTEGRATIONCLIENT_H

#include <string>
#include <vector>

#include "ChatLibrary.h"
#include "RecordingSink.h"

// One chat component of an integration test with the sink that records what
// it hears. Every wait is bounded; a failed wait returns false so the test
// states what it expected.
class IntegrationClient
{
public:
    static const int kWaitMs = 10000;

    // extended: an object of the extended interface with the sink handed
    // over as extended; else one of today's.
    explicit IntegrationClient(const ChatLibrary& library, bool extended = false);
    // Quits and releases the component, waiting for its thread.
    ~IntegrationClient();

    bool Created() const;
    ChatComponent& Chat();
    RecordingSink& Sink();
    const std::string& Nickname() const;
    // The server text Login connects to (plain or TLS).
    const std::string& ServerText() const;

    // Sets the names, asks for the channel (empty: none) before the welcome
    // and connects to server (empty: ServerText()).
    void Login(const std::string& nickname, const std::string& channel,
               const std::string& server = std::string());
    // Waits until the server has named this client as a member of channel
    // (it is then joined and welcomed).
    bool WaitJoined(const std::string& channel);

    // Waits for a text event with exactly this code and text.
    bool WaitText(int code, const std::string& text, int timeoutMs = kWaitMs, size_t from = 0);
    // Waits for a text event with this code whose text is one of texts.
    bool WaitTextAny(int code, const std::vector<std::string>& texts, int timeoutMs = kWaitMs,
                     size_t from = 0);
    bool WaitEvent(int code, int timeoutMs = kWaitMs, size_t from = 0);
    bool WaitError(int code, const std::string& text, int timeoutMs = kWaitMs, size_t from = 0);

    size_t CountText(int code, const std::string& text, size_t from = 0) const;
    // Every error reported so far, as "code text" lines.
    std::vector<std::string> Errors() const;

    void Quit();

private:
    IntegrationClient(const IntegrationClient&) = delete;
    IntegrationClient& operator=(const IntegrationClient&) = delete;

    RecordingSink m_Sink;
    ChatComponent* m_pChat;
    std::string m_Nickname;
    std::string m_ServerText;
    bool m_bQuit;
};

#endif
