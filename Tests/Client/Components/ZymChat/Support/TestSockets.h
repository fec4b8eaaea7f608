#ifndef ZYM_TESTS_TESTSOCKETS_H
#define ZYM_TESTS_TESTSOCKETS_H

// The few socket calls whose names or types differ between Windows Sockets
// and BSD sockets, for the fake server, and a client connection for the
// test programs.
#ifdef _WIN32
#include <winsock.h>
#include <windows.h>

typedef SOCKET TestSocket;
const TestSocket kNoTestSocket = INVALID_SOCKET;
const int kTestSendFlags = 0;

inline void StartTestSockets()
{
    WSADATA data;
    WSAStartup(0x0101, &data);
}
inline void StopTestSockets()
{
    WSACleanup();
}
inline void CloseTestSocket(TestSocket hSocket)
{
    closesocket(hSocket);
}
inline void SetTestSocketNonBlocking(TestSocket hSocket)
{
    u_long nNonBlocking = 1;
    ioctlsocket(hSocket, FIONBIO, &nNonBlocking);
}
inline int LastTestSocketError()
{
    return WSAGetLastError();
}
inline void SetLastTestSocketError(int nError)
{
    WSASetLastError(nError);
}
// Wine answers a bind to an address that another program listens on with
// WSAEACCES when SO_REUSEADDR is set, as Windows does for an address in
// exclusive use.
inline bool TestSocketAddressTaken(int nError)
{
    return nError == WSAEADDRINUSE || nError == WSAEACCES;
}
inline unsigned long TestProcessId()
{
    return GetCurrentProcessId();
}
#else
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

typedef int TestSocket;
const TestSocket kNoTestSocket = -1;
// A client that has gone must fail the send, not end the test program.
const int kTestSendFlags = MSG_NOSIGNAL;

inline void StartTestSockets()
{
}
inline void StopTestSockets()
{
}
inline void CloseTestSocket(TestSocket hSocket)
{
    close(hSocket);
}
inline void SetTestSocketNonBlocking(TestSocket hSocket)
{
    fcntl(hSocket, F_SETFL, fcntl(hSocket, F_GETFL) | O_NONBLOCK);
}
inline int LastTestSocketError()
{
    return errno;
}
inline void SetLastTestSocketError(int nError)
{
    errno = nError;
}
inline bool TestSocketAddressTaken(int nError)
{
    return nError == EADDRINUSE || nError == EACCES;
}
inline unsigned long TestProcessId()
{
    return static_cast<unsigned long>(getpid());
}
#endif

#include <cstring>

// A connection to a test server on the loopback; kNoTestSocket when there
// is none.
inline TestSocket ConnectTestSocket(const char* pszAddress, int nPort)
{
    TestSocket hSocket = socket(AF_INET, SOCK_STREAM, 0);
    if (hSocket == kNoTestSocket)
        return kNoTestSocket;
    sockaddr_in peer;
    std::memset(&peer, 0, sizeof(peer));
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<unsigned short>(nPort));
    peer.sin_addr.s_addr = inet_addr(pszAddress);
    if (connect(hSocket, reinterpret_cast<sockaddr*>(&peer), sizeof(peer)) != 0)
    {
        CloseTestSocket(hSocket);
        return kNoTestSocket;
    }
    return hSocket;
}

#endif
