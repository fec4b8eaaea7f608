#include "ServerSocketFactory.h"

#include "DiagnosticLog.h"
#include "ServerText.h"
#include "TCPSocket.h"
#include "TLSSocket.h"

std::unique_ptr<SocketBase> NewServerSocket(const ServerText& server,
                                            const CertificateThumbprint& clientCertificate,
                                            const DiagnosticLog& log)
{
    std::unique_ptr<SocketBase> pStream(new TCPSocket());
    if (server.IsSecure())
        pStream.reset(
            new TLSSocket(std::move(pStream), server.Host().Text(), clientCertificate, log));
    return pStream;
}
