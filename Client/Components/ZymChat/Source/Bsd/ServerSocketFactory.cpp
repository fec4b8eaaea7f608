#include "ServerSocketFactory.h"

#include "ServerText.h"
#include "TCPSocket.h"

// TLS here is the Windows system library's; this build offers plain TCP only.
TCPSocket* NewServerSocket(const ServerText& server, FILE*)
{
    if (server.IsSecure())
        return nullptr;
    return new TCPSocket();
}
