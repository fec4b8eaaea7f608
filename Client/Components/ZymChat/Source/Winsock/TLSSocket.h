#ifndef ZYM_TLSSOCKET_H
#define ZYM_TLSSOCKET_H

#include <atomic>
#include <memory>

#define SECURITY_WIN32
#include <windows.h>
#include <wincrypt.h>
#include <schannel.h>
#include <security.h>

#include "CertificateThumbprint.h"
#include "ClientCertificate.h"
#include "DiagnosticLog.h"
#include "SocketBase.h"
#include "ThreadLock.h"
#include "ZymString.h"

// TLS through the system's own library, as a layer over a stream it owns
// and reaches only through SocketBase. Connect connects that stream, runs
// the handshake and verifies the server's certificate for the host name
// given at construction; a server that fails is refused (8820) and nothing
// is ever sent to it in the clear. Send encrypts each call's bytes into
// records, Receive hands out decrypted bytes, and what one record holds
// beyond the caller's room is kept: HoldsData tells a wait so.
//
// Without a client certificate named, a server that asks for one is answered
// without it. With one named, Connect looks it up in the system's stores
// before the handshake and refuses (8821, 8822) when it is missing, when its
// private key cannot be used or when the library would not present it: a
// host that named a certificate never ends up connected without it.
//
// Threads: Connect, Send and Receive run on one thread; Disconnect may come
// from any thread. The security context is used only under m_ContextLock.
class TLSSocket final : public SocketBase
{
public:
    // The log (may be closed) receives the handshake's outcome and the
    // reason of every refusal; its file stays open for the life of the
    // socket. clientCertificate: the one to present, or the empty
    // thumbprint.
    TLSSocket(std::unique_ptr<SocketBase> pStream, const char* pszHostName,
              const CertificateThumbprint& clientCertificate, const DiagnosticLog& log);
    ~TLSSocket() override;

    SocketResult Connect(const SocketAddress& address, int nPort) override;
    SocketResult Disconnect() override;
    SocketResult Send(const char* pData, int* pLength) override;
    SocketResult Receive(char* pBuffer, int* pLength) override;
    StreamState GetConnectionState() const override;
    // What the system holds is encrypted: a count of records, not of bytes
    // a Receive hands out.
    SocketResult BytesAvailable(int* pCount) override;
    bool HoldsData() const override;
    SocketHandle GetHandle() const override;

    // Room for the records of one read: the largest record TLS allows, its
    // header and the expansion a cipher may add.
    static const int kRecordRoom = 16384 + 2048 + 5 + 256;

private:
    enum class Channel
    {
        // No handshake since the last Disconnect.
        None,
        // The handshake owns the context.
        Handshaking,
        Open,
        // The handshake or the verification failed: a failed connect.
        Refused,
        // A record could not be used or made: the connection was closed.
        Broken,
        // The server's close notify arrived: nothing more comes.
        ClosedByPeer
    };

    // The security context's life (TLSSocketContext.cpp). Handshake and
    // verification; 0, 8820, 8821 or 8822, the reason logged.
    SocketResult Handshake();
    SocketResult AcquireCredentials();
    SocketResult HandshakeSteps();
    SocketResult VerifyServer();
    // The close notify, then the context goes.
    void CloseChannel();
    // Waits up to nMilliseconds for the stream below to become readable,
    // then reads what it has behind the held bytes. False on failure, a
    // closed connection or when the time is up.
    bool ReadMoreWithin(int nMilliseconds);

    // Records (TLSSocket.cpp). Sends every byte of a token or record on the
    // stream below.
    SocketResult SendRaw(const char* pData, int nLength);
    // Decrypts held records until one yields bytes or more must be read;
    // 0 or a result code of Receive.
    SocketResult DecryptHeld();
    // Under m_ContextLock: the channel is broken and the connection below
    // closes.
    void BreakHeld();
    void KeepHeldTail(unsigned long nKeep);
    SocketResult HandOut(char* pBuffer, int* pLength);
    // The context goes and the channel becomes next; Held: under
    // m_ContextLock already.
    void DropContext(Channel next);
    void DropContextHeld(Channel next);

    std::unique_ptr<SocketBase> m_pStream;
    DiagnosticLog m_Log;
    ZymString m_HostName;
    ThreadLock m_ContextLock;
    CertificateThumbprint m_ClientThumbprint;
    // Found when the credentials are made, kept as long as they are.
    ClientCertificate m_ClientCertificate;
    CredHandle m_Credentials;
    bool m_bHaveCredentials;
    CtxtHandle m_Context;
    bool m_bHaveContext;
    // Written under m_ContextLock; read by GetConnectionState from any
    // thread.
    std::atomic<Channel> m_Channel;
    // Set while a record goes out; guarded by m_ContextLock.
    bool m_bSending;
    SecPkgContext_StreamSizes m_Sizes;

    // Received, not yet decrypted.
    std::unique_ptr<char[]> m_pIncoming;
    int m_nIncoming;
    // True when the held bytes are an unfinished record: only the network
    // can add to them.
    bool m_bNeedMore;
    // Decrypted, not yet handed out.
    std::unique_ptr<char[]> m_pPlain;
    int m_nPlainStart;
    int m_nPlainEnd;
    // One encrypted record on its way out.
    std::unique_ptr<char[]> m_pOutgoing;
};

#endif
