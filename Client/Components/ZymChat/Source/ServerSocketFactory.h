#ifndef ZYM_SERVERSOCKETFACTORY_H
#define ZYM_SERVERSOCKETFACTORY_H

#include <memory>

class CertificateThumbprint;
class DiagnosticLog;
class ServerText;
class SocketBase;

// The stream a server text asks for: a TCP socket, under a TLS layer
// verified for the host name for the secure form, which presents the client
// certificate named (when it is set). The log receives the layers' own
// entries. Null when the build offers no stream of the form asked for (TLS
// in the native build).
std::unique_ptr<SocketBase> NewServerSocket(const ServerText& server,
                                            const CertificateThumbprint& clientCertificate,
                                            const DiagnosticLog& log);

#endif
