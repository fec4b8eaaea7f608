#ifndef ZYM_SOCKETPLATFORM_H
#define ZYM_SOCKETPLATFORM_H

#include <winsock.h>

// Windows Sockets 1.1: a handle, and the record its start-up fills.
typedef SOCKET SocketHandle;
typedef WSADATA NetworkStartupData;

#endif
