#ifndef QUIETSERVER_H
#define QUIETSERVER_H

#include <winsock.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A server for the idle measurement that costs nothing while idle itself:
// it accepts one client, welcomes it once its login arrives, and then sits
// in a blocking receive until the client closes. (The tests' fake server
// polls every few milliseconds, which would be counted with the component.)
// Lines after the welcome are stamped with the time their receive returned,
// so gaps between them are measured where they arrive.
class QuietServer
{
public:
    explicit QuietServer(const char* pszAddress);
    ~QuietServer();

    bool IsListening() const { return m_hListen != INVALID_SOCKET; }
    // True once the client's login has been answered with the welcome.
    bool WaitForWelcomed(int nTimeoutMs) const;
    // Arrival times of the lines after the welcome, once at least count have
    // arrived; fewer when nTimeoutMs pass first.
    std::vector<std::chrono::steady_clock::time_point> WaitForLineTimes(size_t count,
                                                                        int nTimeoutMs) const;

private:
    QuietServer(const QuietServer&) = delete;
    QuietServer& operator=(const QuietServer&) = delete;

    void Serve();

    SOCKET m_hListen;
    SOCKET m_hClient;
    std::atomic<bool> m_bWelcomed;
    mutable std::mutex m_Mutex;
    std::vector<std::chrono::steady_clock::time_point> m_LineTimes;
    std::thread m_Thread;
};

#endif
