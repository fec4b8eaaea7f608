#include "ServerSocketFactory.h"

#include "ServerText.h"
#include "TCPSocket.h"

// TLS here is the Windows system library's; this build offers plain TCP only.
std::unique_ptr<SocketBase> NewServerSocket(const ServerText& server, const CertificateThumbprint&,
                                            const DiagnosticLog&)
{
    if (server.IsSecure())
        return nullptr;
    return std::unique_ptr<SocketBase>(new TCPSocket());
}
