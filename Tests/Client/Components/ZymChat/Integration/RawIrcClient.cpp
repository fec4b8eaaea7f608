#include "RawIrcClient.h"

#include <chrono>

#include "TestSockets.h"

RawIrcClient::RawIrcClient(const std::string& address, const std::string& nickname)
    : m_hSocket(ConnectTestSocket(address.c_str(), 6667)), m_bRegistered(false)
{
    m_bRegistered = Send("NICK " + nickname) && Send("USER " + nickname + " 0 * :raw") &&
                    WaitFor(" 001 ", 10000);
}

RawIrcClient::~RawIrcClient()
{
    if (m_hSocket != INVALID_SOCKET)
        closesocket(m_hSocket);
}

bool RawIrcClient::Send(const std::string& line)
{
    if (m_hSocket == INVALID_SOCKET)
        return false;
    std::string bytes = line + "\r\n";
    size_t nDone = 0;
    while (nDone < bytes.size())
    {
        int nSent = send(m_hSocket, bytes.data() + nDone, static_cast<int>(bytes.size() - nDone), 0);
        if (nSent <= 0)
            return false;
        nDone += static_cast<size_t>(nSent);
    }
    return true;
}

bool RawIrcClient::WaitFor(const std::string& text, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_hSocket != INVALID_SOCKET)
    {
        size_t nAt = m_Received.find(text);
        if (nAt != std::string::npos)
        {
            m_Received.erase(0, nAt + text.size());
            return true;
        }
        long nLeft = static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count());
        if (nLeft <= 0)
            return false;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m_hSocket, &readable);
        timeval wait = {nLeft / 1000, (nLeft % 1000) * 1000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0)
            return false;
        char chunk[4096];
        int nRead = recv(m_hSocket, chunk, sizeof(chunk), 0);
        if (nRead <= 0)
            return false;
        m_Received.append(chunk, static_cast<size_t>(nRead));
        // A server's PING must be answered, or it closes the link.
        size_t nPing = m_Received.find("PING :");
        if (nPing != std::string::npos && (nPing == 0 || m_Received[nPing - 1] == '\n'))
        {
            size_t nEnd = m_Received.find("\r\n", nPing);
            if (nEnd != std::string::npos)
            {
                Send("PONG :" + m_Received.substr(nPing + 6, nEnd - nPing - 6));
                m_Received.erase(nPing, nEnd + 2 - nPing);
            }
        }
    }
    return false;
}
