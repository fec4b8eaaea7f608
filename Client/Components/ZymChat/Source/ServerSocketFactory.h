#ifndef ZYM_SERVERSOCKETFACTORY_H
#define ZYM_SERVERSOCKETFACTORY_H

#include <cstdio>

class ServerText;
class TCPSocket;

// The socket a server text asks for: TLS for the secure form, verified for
// its host name, else a plain TCP socket. pLog (may be null) receives the
// secure socket's own entries. The caller owns the result.
TCPSocket* NewServerSocket(const ServerText& server, FILE* pLog);

#endif
