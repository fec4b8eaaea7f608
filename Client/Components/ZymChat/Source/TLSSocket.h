#ifndef ZYM_TLSSOCKET_H
#define ZYM_TLSSOCKET_H

#include <cstdio>

#define SECURITY_WIN32
#include <windows.h>
#include <wincrypt.h>
#include <schannel.h>
#include <security.h>

#include "TCPSocket.h"
#include "ThreadLock.h"
#include "ZymString.h"

// A TCP connection that carries TLS through the system's own library. Connect
// connects, runs the handshake and verifies the server's certificate for the
// host name given at construction; a server that fails is refused (8820) and
// nothing is ever sent to it in the clear. Send encrypts each call's bytes
// into records, Receive hands out decrypted bytes, and what one record holds
// beyond the caller's room is kept: HoldsData tells a wait so.
//
// Threads: Connect, Send and Receive run on one thread; Disconnect may come
// from any thread. The security context is used only under m_ContextLock.
class TLSSocket final : public TCPSocket
{
public:
    // pLog (may be null) receives the handshake's outcome and the reason of a
    // refusal; the caller keeps it open for the life of the socket.
    TLSSocket(const char* pszHostName, FILE* pLog);
    virtual ~TLSSocket();

    virtual int Connect(const SocketAddress& address, int nPort);
    virtual int Disconnect();
    virtual int Send(const char* pData, int* pLength);
    virtual int Receive(char* pBuffer, int* pLength);
    virtual bool HoldsData();

    // Room for the records of one read: the largest record TLS allows, its
    // header and the expansion a cipher may add.
    static const int kRecordRoom = 16384 + 2048 + 5 + 256;

private:
    // Handshake and verification; 0 or 8820, the reason logged.
    int Handshake();
    int HandshakeSteps();
    int VerifyServer();
    // Sends every byte of a token or record on the TCP connection.
    int SendRaw(const char* pData, int nLength);
    // Waits up to nMilliseconds for the TCP connection to become readable,
    // then reads what it has behind the held bytes. False on failure, a
    // closed connection or when the time is up.
    bool ReadMoreWithin(int nMilliseconds);
    // Decrypts held records until one yields bytes or more must be read;
    // 0 or a result code of Receive.
    int DecryptHeld();
    int HandOut(char* pBuffer, int* pLength);
    // Under m_ContextLock: the close notify, then the context goes.
    void CloseChannel();
    void DeleteContext();
    void Note(const char* pszFormat, ...);

    ZymString m_HostName;
    FILE* m_pLog;
    ThreadLock m_ContextLock;
    CredHandle m_Credentials;
    bool m_bHaveCredentials;
    CtxtHandle m_Context;
    bool m_bHaveContext;
    // Set once the handshake and the verification have passed; cleared when
    // the channel closes. Guarded by m_ContextLock.
    bool m_bEstablished;
    // Set while a record goes out; guarded by m_ContextLock.
    bool m_bSending;
    SecPkgContext_StreamSizes m_Sizes;

    // Received, not yet decrypted.
    char* m_pIncoming;
    int m_nIncoming;
    // True when the held bytes are an unfinished record: only the network
    // can add to them.
    bool m_bNeedMore;
    // Decrypted, not yet handed out.
    char* m_pPlain;
    int m_nPlainStart;
    int m_nPlainEnd;
    // One encrypted record on its way out.
    char* m_pOutgoing;
};

#endif
