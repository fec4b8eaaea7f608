#include "FakeIrcServer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace
{
    const int kPollMs = 20;
}

FakeIrcServer::FakeIrcServer(const char* pszAddress, int nPort)
    : m_Address(pszAddress),
      m_hListen(kNoTestSocket),
      m_bStop(false),
      m_hNewest(kNoTestSocket),
      m_bNewestClosed(false),
      m_nConnections(0)
{
    StartTestSockets();

    TestSocket hListen = Listen(m_Address, nPort);
    // Fallbacks start at a place of the process's own, so that runs side by
    // side rarely try the same addresses; each try is one bind.
    const int kFallbacks = 2000;
    int nStart = static_cast<int>(TestProcessId() % kFallbacks);
    for (int i = 0; hListen == kNoTestSocket && TestSocketAddressTaken(LastTestSocketError()) &&
                    i < kFallbacks;
         ++i)
    {
        int n = (nStart + i) % kFallbacks;
        std::string fallback =
            "127.64." + std::to_string(n / 200) + "." + std::to_string(1 + n % 200);
        hListen = Listen(fallback, nPort);
        if (hListen != kNoTestSocket)
        {
            std::fprintf(stderr, "fake server: %s:%d is taken, listening on %s instead\n",
                         m_Address.c_str(), nPort, fallback.c_str());
            m_Address = fallback;
        }
    }
    if (hListen == kNoTestSocket)
    {
        std::fprintf(stderr,
                     "fake server: cannot listen on %s:%d or a fallback address (error %d);"
                     " a program listening on port %d of every address takes them all\n",
                     m_Address.c_str(), nPort, LastTestSocketError(), nPort);
        return;
    }
    m_hListen = hListen;
    m_Thread = std::thread(&FakeIrcServer::Serve, this);
}

TestSocket FakeIrcServer::Listen(const std::string& address, int nPort)
{
    TestSocket hListen = socket(AF_INET, SOCK_STREAM, 0);
    if (hListen == kNoTestSocket)
        return kNoTestSocket;
    // A connection of an earlier test on the same address may still linger.
    int bReuse = 1;
    setsockopt(hListen, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&bReuse),
               sizeof(bReuse));
    sockaddr_in local;
    std::memset(&local, 0, sizeof(local));
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<unsigned short>(nPort));
    local.sin_addr.s_addr = inet_addr(address.c_str());
    if (bind(hListen, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0 ||
        listen(hListen, 5) != 0)
    {
        // The caller reads the bind's error; closing must not replace it.
        int nError = LastTestSocketError();
        CloseTestSocket(hListen);
        SetLastTestSocketError(nError);
        return kNoTestSocket;
    }
    return hListen;
}

FakeIrcServer::~FakeIrcServer()
{
    {
        std::lock_guard<std::mutex> hold(m_Mutex);
        m_bStop = true;
    }
    if (m_Thread.joinable())
        m_Thread.join();
    for (TestSocket hClient : m_Clients)
        CloseTestSocket(hClient);
    if (m_hListen != kNoTestSocket)
        CloseTestSocket(m_hListen);
    StopTestSockets();
}

void FakeIrcServer::Serve()
{
    std::vector<char> chunk(4096);
    for (;;)
    {
        fd_set readSet;
        FD_ZERO(&readSet);
        {
            std::lock_guard<std::mutex> hold(m_Mutex);
            if (m_bStop)
                return;
            FD_SET(m_hListen, &readSet);
            for (TestSocket hClient : m_Clients)
                FD_SET(hClient, &readSet);
        }
        timeval limit = {0, kPollMs * 1000};
        // Windows ignores the count; BSD sockets take the highest number + 1.
        int nReady = select(FD_SETSIZE, &readSet, nullptr, nullptr, &limit);
        if (nReady <= 0)
            continue;

        std::lock_guard<std::mutex> hold(m_Mutex);
        if (FD_ISSET(m_hListen, &readSet))
        {
            TestSocket hClient = accept(m_hListen, nullptr, nullptr);
            if (hClient != kNoTestSocket)
            {
                m_Clients.push_back(hClient);
                m_hNewest = hClient;
                m_bNewestClosed = false;
                ++m_nConnections;
            }
        }
        for (size_t i = 0; i < m_Clients.size();)
        {
            TestSocket hClient = m_Clients[i];
            if (!FD_ISSET(hClient, &readSet))
            {
                ++i;
                continue;
            }
            int nRead = static_cast<int>(recv(hClient, chunk.data(), static_cast<int>(chunk.size()), 0));
            if (nRead > 0)
            {
                m_Received.append(chunk.data(), nRead);
                m_Arrivals.emplace_back(m_Received.size(), std::chrono::steady_clock::now());
                ++i;
                continue;
            }
            CloseTestSocket(hClient);
            m_Clients.erase(m_Clients.begin() + i);
            if (hClient == m_hNewest)
            {
                m_hNewest = kNoTestSocket;
                m_bNewestClosed = true;
            }
        }
        m_Changed.notify_all();
    }
}

template <class Predicate>
bool FakeIrcServer::WaitUntil(int nTimeoutMs, Predicate done)
{
    std::unique_lock<std::mutex> hold(m_Mutex);
    return m_Changed.wait_for(hold, std::chrono::milliseconds(nTimeoutMs), done);
}

bool FakeIrcServer::WaitForConnections(int nCount, int nTimeoutMs)
{
    return WaitUntil(nTimeoutMs, [&] { return m_nConnections >= nCount; });
}

int FakeIrcServer::ConnectionCount() const
{
    std::lock_guard<std::mutex> hold(m_Mutex);
    return m_nConnections;
}

bool FakeIrcServer::Send(const std::string& bytes)
{
    std::lock_guard<std::mutex> hold(m_Mutex);
    if (m_hNewest == kNoTestSocket)
        return false;
    size_t nDone = 0;
    while (nDone < bytes.size())
    {
        int nSent = static_cast<int>(send(m_hNewest, bytes.data() + nDone,
                                          static_cast<int>(bytes.size() - nDone), kTestSendFlags));
        if (nSent <= 0)
            return false;
        nDone += static_cast<size_t>(nSent);
    }
    return true;
}

bool FakeIrcServer::SendLine(const std::string& line)
{
    return Send(line + "\r\n");
}

std::string FakeIrcServer::Received() const
{
    std::lock_guard<std::mutex> hold(m_Mutex);
    return m_Received;
}

std::vector<std::string> FakeIrcServer::ReceivedLines() const
{
    std::string received = Received();
    std::vector<std::string> lines;
    size_t nStart = 0;
    for (size_t nEnd; (nEnd = received.find("\r\n", nStart)) != std::string::npos; nStart = nEnd + 2)
        lines.push_back(received.substr(nStart, nEnd - nStart));
    return lines;
}

bool FakeIrcServer::WaitForReceived(const std::string& text, int nTimeoutMs)
{
    std::chrono::steady_clock::time_point arrival;
    return WaitForReceived(text, nTimeoutMs, arrival);
}

bool FakeIrcServer::WaitForReceived(const std::string& text, int nTimeoutMs,
                                    std::chrono::steady_clock::time_point& arrival)
{
    return WaitUntil(nTimeoutMs, [&] {
        size_t nAt = m_Received.find(text);
        if (nAt == std::string::npos)
            return false;
        // The first receive whose bytes reach the text's end; the last one
        // recorded always does.
        auto received = std::lower_bound(
            m_Arrivals.begin(), m_Arrivals.end(), nAt + text.size(),
            [](const std::pair<size_t, std::chrono::steady_clock::time_point>& entry, size_t nEnd) {
                return entry.first < nEnd;
            });
        arrival = received->second;
        return true;
    });
}

bool FakeIrcServer::WaitForLines(size_t nCount, int nTimeoutMs)
{
    return WaitUntil(nTimeoutMs, [&] {
        size_t nLines = 0;
        for (size_t n = m_Received.find("\r\n"); n != std::string::npos;
             n = m_Received.find("\r\n", n + 2))
            ++nLines;
        return nLines >= nCount;
    });
}

bool FakeIrcServer::WaitForClientClosed(int nTimeoutMs)
{
    return WaitUntil(nTimeoutMs, [&] { return m_bNewestClosed; });
}

void FakeIrcServer::CloseClient()
{
    std::lock_guard<std::mutex> hold(m_Mutex);
    if (m_hNewest == kNoTestSocket)
        return;
    for (size_t i = 0; i < m_Clients.size(); ++i)
    {
        if (m_Clients[i] == m_hNewest)
        {
            m_Clients.erase(m_Clients.begin() + i);
            break;
        }
    }
    CloseTestSocket(m_hNewest);
    m_hNewest = kNoTestSocket;
}
