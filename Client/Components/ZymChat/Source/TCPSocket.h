#ifndef ZYM_TCPSOCKET_H
#define ZYM_TCPSOCKET_H

#include "SocketBase.h"
#include "ThreadLock.h"

// The chat component's connection to its server. Construction starts Windows
// Sockets (version 1.1); nothing ever shuts it down, and destruction does not
// close the socket: the owner calls Disconnect first. A secure connection
// derives from it and is destroyed through this type.
//
// The socket handle has one owner, this object, and is closed only by
// Disconnect, under m_CloseLock: either thread may call Disconnect at any
// time, also while the other one connects, sends or receives, and the handle
// is closed exactly once. A connect or receive cut short that way fails
// quietly.
class TCPSocket : public SocketBase
{
public:
    TCPSocket();
    virtual ~TCPSocket();

    virtual int Connect(const SocketAddress& address, int nPort);
    virtual int Disconnect();
    virtual int Send(const char* pData, int* pLength);
    virtual int Receive(char* pBuffer, int* pLength);
    virtual int SocketReserved1();
    virtual int SocketReserved2();
    virtual int SocketReserved3();
    virtual int SocketReserved4();

private:
    ThreadLock m_CloseLock;
};

#endif
