#ifndef ZYM_TESTS_TLSCONTROL_H
#define ZYM_TESTS_TLSCONTROL_H

#include <winsock.h>

#include <string>
#include <vector>

// One session of tls-test-server.py, steered over its control connection
// (the address in ZYM_TLS_CONTROL). Every answer is awaited for a bounded
// time; a missing or failed answer comes back as text starting with "NO".
class TlsControl
{
public:
    TlsControl();
    ~TlsControl();

    bool IsConnected() const { return m_hSocket != INVALID_SOCKET; }

    // Listens for one client in MODE with CERT; the port, 0 on failure.
    int Open(const std::string& mode, const std::string& cert);
    // Each text one TLS record, all in one TCP send.
    bool Records(const std::vector<std::string>& texts);
    // One record whose bytes go out in pieces of these sizes (the rest last),
    // with a pause after each.
    bool Cut(const std::string& text, const std::vector<int>& pieces);
    // True once the server has received the text from the client.
    bool WaitFor(const std::string& text, int nTimeoutMs);
    std::string Received();
    // "handshake=ok closed=no notified=no" and the like.
    std::string State();
    bool Close();
    // A hello request to the client (the renegotiating mode).
    bool Renegotiate();

    static std::string Hex(const std::string& bytes);

private:
    TlsControl(const TlsControl&) = delete;
    TlsControl& operator=(const TlsControl&) = delete;

    std::string Ask(const std::string& command, int nTimeoutMs = 20000);

    SOCKET m_hSocket;
    std::string m_Pending;
};

#endif
