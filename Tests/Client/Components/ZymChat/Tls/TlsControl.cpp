#include "TlsControl.h"

#include "TestSockets.h"

#include <cstdlib>

namespace
{
    std::string FromHex(const std::string& hex)
    {
        std::string bytes;
        for (size_t i = 0; i + 1 < hex.size(); i += 2)
            bytes += static_cast<char>(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16));
        return bytes;
    }
}

TlsControl::TlsControl() : m_hSocket(INVALID_SOCKET)
{
    WSADATA data;
    WSAStartup(0x0101, &data);
    const char* pszControl = std::getenv("ZYM_TLS_CONTROL");
    if (pszControl == nullptr)
        return;
    std::string control(pszControl);
    size_t colon = control.rfind(':');
    if (colon == std::string::npos)
        return;
    m_hSocket = ConnectTestSocket(control.substr(0, colon).c_str(), std::atoi(control.c_str() + colon + 1));
}

TlsControl::~TlsControl()
{
    if (m_hSocket != INVALID_SOCKET)
        closesocket(m_hSocket);
    WSACleanup();
}

std::string TlsControl::Hex(const std::string& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes)
    {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 15];
    }
    return hex;
}

std::string TlsControl::Ask(const std::string& command, int nTimeoutMs)
{
    if (m_hSocket == INVALID_SOCKET)
        return "NO control connection";
    std::string line = command + "\n";
    if (send(m_hSocket, line.data(), static_cast<int>(line.size()), 0) !=
        static_cast<int>(line.size()))
        return "NO send failed";
    for (;;)
    {
        size_t end = m_Pending.find("\r\n");
        if (end != std::string::npos)
        {
            std::string answer = m_Pending.substr(0, end);
            m_Pending.erase(0, end + 2);
            return answer;
        }
        fd_set set;
        FD_ZERO(&set);
        FD_SET(m_hSocket, &set);
        timeval limit = {nTimeoutMs / 1000, (nTimeoutMs % 1000) * 1000};
        if (select(0, &set, nullptr, nullptr, &limit) != 1)
            return "NO answer in time";
        char buffer[4096];
        int nRead = recv(m_hSocket, buffer, sizeof(buffer), 0);
        if (nRead <= 0)
            return "NO control connection closed";
        m_Pending.append(buffer, nRead);
    }
}

int TlsControl::Open(const std::string& mode, const std::string& cert)
{
    std::string answer = Ask("OPEN " + mode + " " + cert);
    return answer.compare(0, 5, "PORT ") == 0 ? std::atoi(answer.c_str() + 5) : 0;
}

bool TlsControl::Records(const std::vector<std::string>& texts)
{
    std::string command = "RECORDS";
    for (const std::string& text : texts)
        command += " " + Hex(text);
    return Ask(command) == "OK";
}

bool TlsControl::Cut(const std::string& text, const std::vector<int>& pieces)
{
    std::string command = "CUT " + Hex(text);
    for (int piece : pieces)
        command += " " + std::to_string(piece);
    return Ask(command) == "OK";
}

bool TlsControl::WaitFor(const std::string& text, int nTimeoutMs)
{
    return Ask("WAIT " + Hex(text) + " " + std::to_string(nTimeoutMs), nTimeoutMs + 5000) == "YES";
}

std::string TlsControl::Received()
{
    std::string answer = Ask("RECEIVED");
    return answer.compare(0, 5, "DATA ") == 0 ? FromHex(answer.substr(5)) : answer;
}

std::string TlsControl::State()
{
    std::string answer = Ask("STATE");
    return answer.compare(0, 6, "STATE ") == 0 ? answer.substr(6) : answer;
}

bool TlsControl::Close()
{
    return Ask("CLOSE") == "OK";
}

bool TlsControl::Renegotiate()
{
    return Ask("RENEGOTIATE") == "OK";
}
