#ifndef ZYM_SOCKETPLATFORM_H
#define ZYM_SOCKETPLATFORM_H

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

// BSD sockets: a file descriptor; there is no start-up, so its record is
// empty.
typedef int SocketHandle;
struct NetworkStartupData
{
    int nUnused;
};

#endif
