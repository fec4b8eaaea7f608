#include "QuietServer.h"

#include <chrono>
#include <cstring>

namespace
{
const char kWelcome[] = ":irc.quiet.test 001 idle :Welcome\r\n:irc.quiet.test 002 idle :Your host\r\n";
}

QuietServer::QuietServer(const char* pszAddress)
    : m_hListen(INVALID_SOCKET), m_hClient(INVALID_SOCKET), m_bWelcomed(false)
{
    WSADATA data;
    WSAStartup(0x0101, &data);
    SOCKET hListen = socket(AF_INET, SOCK_STREAM, 0);
    if (hListen == INVALID_SOCKET)
        return;
    sockaddr_in self;
    std::memset(&self, 0, sizeof(self));
    self.sin_family = AF_INET;
    self.sin_port = htons(6667);
    self.sin_addr.s_addr = inet_addr(pszAddress);
    if (bind(hListen, reinterpret_cast<sockaddr*>(&self), sizeof(self)) == SOCKET_ERROR ||
        listen(hListen, 1) == SOCKET_ERROR)
    {
        closesocket(hListen);
        return;
    }
    m_hListen = hListen;
    m_Thread = std::thread([this] { Serve(); });
}

QuietServer::~QuietServer()
{
    if (m_hListen != INVALID_SOCKET)
        closesocket(m_hListen);
    if (m_Thread.joinable())
        m_Thread.join();
    if (m_hClient != INVALID_SOCKET)
        closesocket(m_hClient);
    WSACleanup();
}

bool QuietServer::WaitForWelcomed(int nTimeoutMs) const
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    while (!m_bWelcomed && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return m_bWelcomed;
}

std::vector<std::chrono::steady_clock::time_point> QuietServer::WaitForLineTimes(size_t count,
                                                                              int nTimeoutMs) const
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    for (;;)
    {
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            if (m_LineTimes.size() >= count || std::chrono::steady_clock::now() >= deadline)
                return m_LineTimes;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void QuietServer::Serve()
{
    m_hClient = accept(m_hListen, nullptr, nullptr);
    if (m_hClient == INVALID_SOCKET)
        return;
    std::string received;
    char buffer[1024];
    for (;;)
    {
        int nRead = recv(m_hClient, buffer, sizeof(buffer), 0);
        if (nRead <= 0)
            return;
        auto now = std::chrono::steady_clock::now();
        if (m_bWelcomed)
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            for (int i = 0; i < nRead; ++i)
                if (buffer[i] == '\n')
                    m_LineTimes.push_back(now);
            continue;
        }
        received.append(buffer, static_cast<size_t>(nRead));
        if (received.find("USER ") != std::string::npos &&
            received.find("\r\n", received.find("USER ")) != std::string::npos)
        {
            send(m_hClient, kWelcome, static_cast<int>(sizeof(kWelcome) - 1), 0);
            m_bWelcomed = true;
        }
    }
}
