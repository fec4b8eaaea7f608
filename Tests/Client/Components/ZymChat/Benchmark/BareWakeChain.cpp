#include "BareWakeChain.h"

#include "TestSockets.h"

#include <cstring>

BareWakeChain::BareWakeChain(const std::string& address)
    : m_Address(address), m_hConnection(INVALID_SOCKET), m_hWake(INVALID_SOCKET), m_bStop(false)
{
    WSADATA data;
    WSAStartup(0x0101, &data);
}

BareWakeChain::~BareWakeChain()
{
    m_bStop = true;
    if (m_Thread.joinable())
    {
        // The thread's wait ends within its 100 ms limit.
        m_Thread.join();
    }
    if (m_hWake != INVALID_SOCKET)
    {
        closesocket(m_hWake);
    }
    if (m_hConnection != INVALID_SOCKET)
    {
        closesocket(m_hConnection);
    }
    WSACleanup();
}

bool BareWakeChain::Start()
{
    m_hConnection = ConnectTestSocket(m_Address.c_str(), 6667);
    m_hWake = socket(AF_INET, SOCK_DGRAM, 0);
    if (m_hConnection == INVALID_SOCKET || m_hWake == INVALID_SOCKET)
    {
        return false;
    }
    sockaddr_in self;
    std::memset(&self, 0, sizeof(self));
    self.sin_family = AF_INET;
    self.sin_addr.s_addr = inet_addr("127.0.0.1");
    int length = sizeof(self);
    if (bind(m_hWake, reinterpret_cast<sockaddr*>(&self), sizeof(self)) == SOCKET_ERROR ||
        getsockname(m_hWake, reinterpret_cast<sockaddr*>(&self), &length) == SOCKET_ERROR ||
        connect(m_hWake, reinterpret_cast<sockaddr*>(&self), sizeof(self)) == SOCKET_ERROR)
    {
        return false;
    }
    m_Thread = std::thread(&BareWakeChain::Wait, this);
    return true;
}

bool BareWakeChain::Send(const std::string& line)
{
    {
        std::lock_guard<std::mutex> hold(m_Lock);
        m_Pending += line;
    }
    return send(m_hWake, "w", 1, 0) == 1;
}

void BareWakeChain::Wait()
{
    while (!m_bStop)
    {
        fd_set readSet;
        FD_ZERO(&readSet);
        FD_SET(m_hConnection, &readSet);
        FD_SET(m_hWake, &readSet);
        timeval limit = {0, 100000};
        if (select(0, &readSet, nullptr, nullptr, &limit) <= 0)
        {
            continue;
        }
        if (FD_ISSET(m_hConnection, &readSet))
        {
            // What the server says is of no interest; a closed connection
            // ends the chain.
            char scratch[4096];
            if (recv(m_hConnection, scratch, sizeof(scratch), 0) <= 0)
            {
                return;
            }
        }
        if (!FD_ISSET(m_hWake, &readSet))
        {
            continue;
        }
        std::string line;
        {
            std::lock_guard<std::mutex> hold(m_Lock);
            line.swap(m_Pending);
        }
        if (!line.empty())
        {
            send(m_hConnection, line.data(), static_cast<int>(line.size()), 0);
        }
        char byte;
        recv(m_hWake, &byte, 1, 0);
    }
}
