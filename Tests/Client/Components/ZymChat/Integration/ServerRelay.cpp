#include "ServerRelay.h"

#include "TestSockets.h"

#include <chrono>
#include <mutex>
#include <vector>

namespace
{
const int kPollMs = 20;
const int kPort = 6667;

// The tokens of the PING lines in the text, in order.
std::vector<std::string> PingTokens(const std::string& text)
{
    std::vector<std::string> tokens;
    size_t nStart = 0;
    for (size_t nEnd; (nEnd = text.find("\r\n", nStart)) != std::string::npos; nStart = nEnd + 2)
    {
        std::string line = text.substr(nStart, nEnd - nStart);
        if (!line.empty() && line[0] == ':')
        {
            size_t nBlank = line.find(' ');
            line = nBlank == std::string::npos ? std::string() : line.substr(nBlank + 1);
        }
        if (line.compare(0, 5, "PING ") == 0)
        {
            std::string token = line.substr(5);
            tokens.push_back(!token.empty() && token[0] == ':' ? token.substr(1) : token);
        }
    }
    return tokens;
}
}

ServerRelay::ServerRelay(const std::string& serverAddress, const char* pszFirstAddress)
    : m_ServerAddress(serverAddress),
      m_Facing(pszFirstAddress),
      m_hUpstream(INVALID_SOCKET),
      m_bStop(false)
{
    if (m_Facing.IsListening())
        m_Thread = std::thread(&ServerRelay::Pump, this);
}

ServerRelay::~ServerRelay()
{
    m_bStop = true;
    if (m_Thread.joinable())
        m_Thread.join();
    if (m_hUpstream != INVALID_SOCKET)
        closesocket(m_hUpstream);
}

bool ServerRelay::ConnectUpstream()
{
    m_hUpstream = ConnectTestSocket(m_ServerAddress.c_str(), kPort);
    return m_hUpstream != INVALID_SOCKET;
}

bool ServerRelay::SendUpstream(const std::string& bytes)
{
    size_t nDone = 0;
    while (nDone < bytes.size())
    {
        int nSent = send(m_hUpstream, bytes.data() + nDone, static_cast<int>(bytes.size() - nDone), 0);
        if (nSent <= 0)
            return false;
        nDone += static_cast<size_t>(nSent);
    }
    return true;
}

// One component at a time: the relay connects upstream when the component
// connects, and stops passing bytes once either side has closed.
void ServerRelay::Pump()
{
    while (!m_bStop && !m_Facing.WaitForClient(kPollMs))
    {
    }
    if (m_bStop || !ConnectUpstream())
    {
        m_Facing.CloseClient();
        return;
    }
    size_t nPassedUp = 0;
    std::vector<char> chunk(4096);
    while (!m_bStop)
    {
        std::string fromClient = m_Facing.Received();
        if (fromClient.size() > nPassedUp)
        {
            if (!SendUpstream(fromClient.substr(nPassedUp)))
                break;
            nPassedUp = fromClient.size();
        }

        fd_set readSet;
        FD_ZERO(&readSet);
        FD_SET(m_hUpstream, &readSet);
        timeval limit = {0, kPollMs * 1000};
        int nReady = select(0, &readSet, nullptr, nullptr, &limit);
        if (nReady < 0)
            break;
        if (nReady == 0)
            continue;
        int nRead = recv(m_hUpstream, chunk.data(), static_cast<int>(chunk.size()), 0);
        if (nRead <= 0)
            break;
        // Recorded before it is passed on, so that no answer is seen before
        // the line it answers.
        {
            std::lock_guard<std::mutex> hold(m_FromServerLock);
            m_FromServer.append(chunk.data(), nRead);
        }
        if (!m_Facing.Send(std::string(chunk.data(), nRead)))
            break;
    }
    m_Facing.CloseClient();
}

bool ServerRelay::WaitForPongs(int nCount, int nTimeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    for (;;)
    {
        std::vector<std::string> pings;
        {
            std::lock_guard<std::mutex> hold(m_FromServerLock);
            pings = PingTokens(m_FromServer);
        }
        int nAnswered = 0;
        for (const std::string& line : m_Facing.ReceivedLines())
        {
            if (line.compare(0, 5, "PONG ") != 0)
                continue;
            // A PONG counts only as the answer to the PING of its turn.
            if (static_cast<size_t>(nAnswered) >= pings.size() ||
                line != "PONG :" + pings[static_cast<size_t>(nAnswered)])
                return false;
            ++nAnswered;
        }
        if (nAnswered >= nCount)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs * 5));
    }
}
