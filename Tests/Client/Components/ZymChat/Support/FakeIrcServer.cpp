#include "FakeIrcServer.h"

#include <chrono>
#include <cstdio>
#include <cstring>

namespace
{
    const int kPollMs = 20;

    // Wine answers a bind to an address that another program listens on
    // with WSAEACCES when SO_REUSEADDR is set, as Windows does for an
    // address in exclusive use.
    bool AddressTaken(int nError)
    {
        return nError == WSAEADDRINUSE || nError == WSAEACCES;
    }
}

FakeIrcServer::FakeIrcServer(const char* pszAddress, int nPort)
    : m_Address(pszAddress),
      m_hListen(INVALID_SOCKET),
      m_bStop(false),
      m_hNewest(INVALID_SOCKET),
      m_bNewestClosed(false),
      m_nConnections(0)
{
    WSADATA data;
    WSAStartup(0x0101, &data);

    SOCKET hListen = Listen(m_Address, nPort);
    // Fallbacks start at a place of the process's own, so that runs side by
    // side rarely try the same addresses; each try is one bind.
    const int kFallbacks = 2000;
    int nStart = static_cast<int>(GetCurrentProcessId() % kFallbacks);
    for (int i = 0; hListen == INVALID_SOCKET && AddressTaken(WSAGetLastError()) && i < kFallbacks;
         ++i)
    {
        int n = (nStart + i) % kFallbacks;
        std::string fallback =
            "127.64." + std::to_string(n / 200) + "." + std::to_string(1 + n % 200);
        hListen = Listen(fallback, nPort);
        if (hListen != INVALID_SOCKET)
        {
            std::fprintf(stderr, "fake server: %s:%d is taken, listening on %s instead\n",
                         m_Address.c_str(), nPort, fallback.c_str());
            m_Address = fallback;
        }
    }
    if (hListen == INVALID_SOCKET)
    {
        std::fprintf(stderr,
                     "fake server: cannot listen on %s:%d or a fallback address (error %d);"
                     " a program listening on port %d of every address takes them all\n",
                     m_Address.c_str(), nPort, WSAGetLastError(), nPort);
        return;
    }
    m_hListen = hListen;
    m_Thread = std::thread(&FakeIrcServer::Serve, this);
}

SOCKET FakeIrcServer::Listen(const std::string& address, int nPort)
{
    SOCKET hListen = socket(AF_INET, SOCK_STREAM, 0);
    if (hListen == INVALID_SOCKET)
        return INVALID_SOCKET;
    // A connection of an earlier test on the same address may still linger.
    BOOL bReuse = TRUE;
    setsockopt(hListen, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&bReuse),
               sizeof(bReuse));
    sockaddr_in local;
    std::memset(&local, 0, sizeof(local));
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<u_short>(nPort));
    local.sin_addr.s_addr = inet_addr(address.c_str());
    if (bind(hListen, reinterpret_cast<sockaddr*>(&local), sizeof(local)) == SOCKET_ERROR ||
        listen(hListen, 5) == SOCKET_ERROR)
    {
        // The caller reads the bind's error; closing must not replace it.
        int nError = WSAGetLastError();
        closesocket(hListen);
        WSASetLastError(nError);
        return INVALID_SOCKET;
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
    for (SOCKET hClient : m_Clients)
        closesocket(hClient);
    if (m_hListen != INVALID_SOCKET)
        closesocket(m_hListen);
    WSACleanup();
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
            for (SOCKET hClient : m_Clients)
                FD_SET(hClient, &readSet);
        }
        timeval limit = {0, kPollMs * 1000};
        int nReady = select(0, &readSet, nullptr, nullptr, &limit);
        if (nReady <= 0)
            continue;

        std::lock_guard<std::mutex> hold(m_Mutex);
        if (FD_ISSET(m_hListen, &readSet))
        {
            SOCKET hClient = accept(m_hListen, nullptr, nullptr);
            if (hClient != INVALID_SOCKET)
            {
                m_Clients.push_back(hClient);
                m_hNewest = hClient;
                m_bNewestClosed = false;
                ++m_nConnections;
            }
        }
        for (size_t i = 0; i < m_Clients.size();)
        {
            SOCKET hClient = m_Clients[i];
            if (!FD_ISSET(hClient, &readSet))
            {
                ++i;
                continue;
            }
            int nRead = recv(hClient, chunk.data(), static_cast<int>(chunk.size()), 0);
            if (nRead > 0)
            {
                m_Received.append(chunk.data(), nRead);
                ++i;
                continue;
            }
            closesocket(hClient);
            m_Clients.erase(m_Clients.begin() + i);
            if (hClient == m_hNewest)
            {
                m_hNewest = INVALID_SOCKET;
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
    if (m_hNewest == INVALID_SOCKET)
        return false;
    size_t nDone = 0;
    while (nDone < bytes.size())
    {
        int nSent = send(m_hNewest, bytes.data() + nDone, static_cast<int>(bytes.size() - nDone), 0);
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
    return WaitUntil(nTimeoutMs, [&] { return m_Received.find(text) != std::string::npos; });
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
    if (m_hNewest == INVALID_SOCKET)
        return;
    for (size_t i = 0; i < m_Clients.size(); ++i)
    {
        if (m_Clients[i] == m_hNewest)
        {
            m_Clients.erase(m_Clients.begin() + i);
            break;
        }
    }
    closesocket(m_hNewest);
    m_hNewest = INVALID_SOCKET;
}
