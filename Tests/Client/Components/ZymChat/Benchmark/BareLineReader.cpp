#include "BareLineReader.h"

#include "TestSockets.h"

#include <vector>

BareLineReader::BareLineReader(const std::string& address, int chunkSize)
    : m_Address(address), m_nChunkSize(chunkSize), m_hSocket(INVALID_SOCKET)
{
    WSADATA data;
    WSAStartup(0x0101, &data);
}

BareLineReader::~BareLineReader()
{
    if (m_hSocket != INVALID_SOCKET)
    {
        closesocket(m_hSocket);
    }
    WSACleanup();
}

bool BareLineReader::Connect()
{
    m_hSocket = ConnectTestSocket(m_Address.c_str(), 6667);
    return m_hSocket != INVALID_SOCKET;
}

long BareLineReader::ReadLines(long expected, int timeoutMs)
{
    std::vector<char> buffer(static_cast<size_t>(m_nChunkSize) + 1);
    std::string pending;
    long lines = 0;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (lines < expected && Clock::now() < deadline)
    {
        fd_set readSet;
        FD_ZERO(&readSet);
        FD_SET(m_hSocket, &readSet);
        timeval limit = {0, 100000};
        if (select(0, &readSet, nullptr, nullptr, &limit) <= 0)
        {
            continue;
        }
        int nRead = recv(m_hSocket, buffer.data(), m_nChunkSize, 0);
        if (nRead <= 0)
        {
            break;
        }
        pending.append(buffer.data(), static_cast<size_t>(nRead));
        std::string::size_type start = 0;
        for (std::string::size_type end; (end = pending.find("\r\n", start)) != std::string::npos;
             start = end + 2)
        {
            ++lines;
            m_LastLine = Clock::now();
        }
        pending.erase(0, start);
    }
    return lines;
}

BareLineReader::Clock::time_point BareLineReader::LastLineTime() const
{
    return m_LastLine;
}
