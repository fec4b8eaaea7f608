#include "ServerSocketFactory.h"

#include "ServerText.h"
#include "TLSSocket.h"

TCPSocket* NewServerSocket(const ServerText& server, FILE* pLog)
{
    if (server.IsSecure())
        return new TLSSocket(server.Host().Text(), pLog);
    return new TCPSocket();
}
