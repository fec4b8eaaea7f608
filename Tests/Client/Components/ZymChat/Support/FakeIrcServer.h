#ifndef ZYM_TESTS_FAKEIRCSERVER_H
#define ZYM_TESTS_FAKEIRCSERVER_H

#include "TestSockets.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// An IRC server stand-in inside the test program: listens on one loopback
// address (each test its own, all on port 6667), accepts connections, records
// every byte a client sends and sends the bytes a test scripts. Every wait is
// bounded by its timeout in milliseconds.
//
// The address a test names is a first choice. Where another program holds
// it (a test run of another build folder that shares the machine's
// loopback), the server takes a free address of 127.64.0.0/16 instead and
// says so on stderr: tests connect to Address(), never to the literal.
class FakeIrcServer
{
public:
    explicit FakeIrcServer(const char* pszAddress, int nPort = 6667);
    ~FakeIrcServer();

    // False when neither the address nor any fallback could be bound.
    bool IsListening() const { return m_hListen != kNoTestSocket; }
    // The address listened on.
    const std::string& Address() const { return m_Address; }

    // True once at least nCount connections have been accepted.
    bool WaitForConnections(int nCount, int nTimeoutMs);
    bool WaitForClient(int nTimeoutMs) { return WaitForConnections(1, nTimeoutMs); }
    int ConnectionCount() const;

    // Raw bytes, in one send, to the newest connection.
    bool Send(const std::string& bytes);
    // The line with CR LF appended.
    bool SendLine(const std::string& line);

    // Every byte received so far, from all connections in arrival order.
    std::string Received() const;
    // The complete CR LF lines received so far, without their CR LF.
    std::vector<std::string> ReceivedLines() const;
    // True once the received bytes contain the text.
    bool WaitForReceived(const std::string& text, int nTimeoutMs);
    // As WaitForReceived; also gives the moment the server's receive that
    // completed the text returned, which a waiter's own wake-up cannot delay.
    bool WaitForReceived(const std::string& text, int nTimeoutMs,
                         std::chrono::steady_clock::time_point& arrival);
    // True once at least nCount complete lines have arrived.
    bool WaitForLines(size_t nCount, int nTimeoutMs);

    // True once the newest connection was closed by the client.
    bool WaitForClientClosed(int nTimeoutMs);
    // Closes the newest connection from the server's side.
    void CloseClient();

private:
    FakeIrcServer(const FakeIrcServer&) = delete;
    FakeIrcServer& operator=(const FakeIrcServer&) = delete;

    // A listening socket on address and port, or kNoTestSocket.
    static TestSocket Listen(const std::string& address, int nPort);
    void Serve();
    template <class Predicate>
    bool WaitUntil(int nTimeoutMs, Predicate done);

    std::string m_Address;
    TestSocket m_hListen;
    bool m_bStop;
    std::vector<TestSocket> m_Clients;
    TestSocket m_hNewest;
    bool m_bNewestClosed;
    int m_nConnections;
    std::string m_Received;
    // For each receive: the length of m_Received after it, and when it
    // returned.
    std::vector<std::pair<size_t, std::chrono::steady_clock::time_point>> m_Arrivals;
    mutable std::mutex m_Mutex;
    std::condition_variable m_Changed;
    std::thread m_Thread;
};

#endif
