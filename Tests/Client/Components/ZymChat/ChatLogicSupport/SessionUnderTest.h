#ifndef ZYM_TESTS_SESSIONUNDERTEST_H
#define ZYM_TESTS_SESSIONUNDERTEST_H

#include <string>
#include <vector>

#include "ChatSession.h"
#include "LineCounts.h"
#include "SessionOutput.h"
#include "FixedRandomCrypto.h"

// A chat session driven directly, with no component around it: server lines
// go in parsed, the host's operations are called on it, and what it writes
// for the server and for the host is collected here. Lines count as queued
// when the session writes them and as sent when the test takes them.
class SessionUnderTest
{
public:
    explicit SessionUnderTest(const char* pszNickname = "me");

    ChatSession& Session() { return m_Session; }
    // One server line, without CR LF.
    void Dispatch(const std::string& line);
    void Welcome();
    // Joins a channel as the host and confirms it as the server would,
    // under serverName; what that writes is dropped.
    void JoinConfirmed(const std::string& hostName, const std::string& serverName);

    // The login's lines, as the component queues them at connect.
    void LogIn(bool bSecureLink, bool bClientCertificate = false);
    // The nonce the next SCRAM login takes instead of random bytes.
    void FixRandomBytes(const std::string& bytes) { m_Crypto.Fix(bytes); }
    // Events with details, failures reported, and whether the session asked
    // for the connection to end, since the last Clear.
    const std::vector<SessionOutput::Detail>& Details();
    const std::vector<SessionOutput::Failure>& Failures();
    bool EndedConnection();

    // Collects what one host operation wrote.
    SessionOutput& Out() { return m_Out; }
    // The texts the host heard with this code since the last Clear.
    std::vector<std::string> Heard(int nCode);
    // Every line written since the last call, oldest first.
    std::vector<std::string> TakeLines();
    void Clear();

    // The server name a message to the host's channel goes out under, or "-"
    // when the session refuses it.
    std::string SendsTo(const std::string& hostName);
    // The host's name a server's message to serverName reaches the host
    // under, or "-" when it reaches the host in none.
    std::string ReachesHostAs(const std::string& serverName);

private:
    void Collect();

    LineCounts m_Counts;
    FixedRandomCrypto m_Crypto;
    ChatSession m_Session;
    SessionOutput m_Out;
    std::vector<std::string> m_Lines;
    std::vector<SessionOutput::Event> m_Events;
    std::vector<SessionOutput::Detail> m_Details;
    std::vector<SessionOutput::Failure> m_Failures;
    bool m_bEnded = false;
};

#endif
