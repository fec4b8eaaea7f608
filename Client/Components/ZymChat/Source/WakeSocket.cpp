#include "WakeSocket.h"

#include <cstring>

WakeSocket::WakeSocket() : m_bStarted(false), m_hSocket(INVALID_SOCKET), m_bPending(false)
{
    WSADATA data;
    m_bStarted = WSAStartup(0x0101, &data) == 0;
    if (m_bStarted && !Open() && m_hSocket != INVALID_SOCKET)
    {
        closesocket(m_hSocket);
        m_hSocket = INVALID_SOCKET;
    }
}

WakeSocket::~WakeSocket()
{
    if (m_hSocket != INVALID_SOCKET)
        closesocket(m_hSocket);
    if (m_bStarted)
        WSACleanup();
}

bool WakeSocket::Open()
{
    m_hSocket = socket(AF_INET, SOCK_DGRAM, 0);
    if (m_hSocket == INVALID_SOCKET)
        return false;
    sockaddr_in self;
    std::memset(&self, 0, sizeof(self));
    self.sin_family = AF_INET;
    self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    self.sin_port = 0;
    if (bind(m_hSocket, reinterpret_cast<sockaddr*>(&self), sizeof(self)) == SOCKET_ERROR)
        return false;
    int nLength = sizeof(self);
    if (getsockname(m_hSocket, reinterpret_cast<sockaddr*>(&self), &nLength) == SOCKET_ERROR)
        return false;
    // Connected to its own address, the socket takes datagrams from itself
    // only: no other program can wake the thread or fill the socket.
    return connect(m_hSocket, reinterpret_cast<sockaddr*>(&self), sizeof(self)) != SOCKET_ERROR;
}

void WakeSocket::Signal()
{
    if (m_hSocket == INVALID_SOCKET || m_bPending.exchange(true))
        return;
    char cByte = 0;
    if (send(m_hSocket, &cByte, 1, 0) != 1)
        m_bPending = false;
}

void WakeSocket::Drain()
{
    if (m_hSocket == INVALID_SOCKET)
        return;
    // Only one datagram can be waiting (see m_bPending), and the caller saw
    // the socket readable, so this receive does not block. The flag is
    // cleared after it: a Signal in between finds its line already queued
    // for the thread's next look at the queue.
    char buffer[16];
    recv(m_hSocket, buffer, sizeof(buffer), 0);
    m_bPending = false;
}
