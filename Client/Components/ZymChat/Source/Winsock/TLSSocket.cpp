#include "TLSSocket.h"

#include <cstring>

#include "ScopedThreadLock.h"
#include "SecureChannelSteps.h"
#include "SecureChannelText.h"
#include "SendAll.h"
#include "ServerCertificateCheck.h"
#include "SocketWait.h"

namespace
{
    // The whole handshake, from the first token to the verdict on the
    // certificate: a server that never answers cannot hold the thread.
    const int kHandshakeMilliseconds = 15000;
    // A close notify is only worth sending to a peer that still reads.
    const int kCloseNotifyMilliseconds = 200;

    // Record types from 20 to 23: cipher change, alert, handshake, application data.
    const char kFirstRecordType = 20;
    const char kLastRecordType = 23;

    const DWORD kContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                  ISC_REQ_CONFIDENTIALITY | ISC_REQ_EXTENDED_ERROR |
                                  ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                                  ISC_REQ_MANUAL_CRED_VALIDATION;

    // Output tokens that the library allocated, freed on every way out.
    struct OutputTokens
    {
        SecBuffer buffers[2];
        SecBufferDesc desc;

        OutputTokens()
        {
            buffers[0] = {0, SECBUFFER_TOKEN, nullptr};
            buffers[1] = {0, SECBUFFER_ALERT, nullptr};
            desc = {SECBUFFER_VERSION, 2, buffers};
        }
        ~OutputTokens()
        {
            for (SecBuffer& buffer : buffers)
            {
                if (buffer.pvBuffer != nullptr)
                    FreeContextBuffer(buffer.pvBuffer);
            }
        }
    };
}

TLSSocket::TLSSocket(std::unique_ptr<SocketBase> pStream, const char* pszHostName,
                     const DiagnosticLog& log)
    : m_pStream(std::move(pStream)),
      m_Log(log),
      m_HostName(pszHostName != nullptr ? pszHostName : ""),
      m_bHaveCredentials(false),
      m_bHaveContext(false),
      m_Channel(Channel::None),
      m_bSending(false),
      m_pIncoming(new char[kRecordRoom]),
      m_nIncoming(0),
      m_bNeedMore(false),
      m_pPlain(new char[kRecordRoom]),
      m_nPlainStart(0),
      m_nPlainEnd(0),
      m_pOutgoing(new char[kRecordRoom])
{
    std::memset(&m_Credentials, 0, sizeof(m_Credentials));
    std::memset(&m_Context, 0, sizeof(m_Context));
    std::memset(&m_Sizes, 0, sizeof(m_Sizes));
}

TLSSocket::~TLSSocket()
{
    DropContext(Channel::None);
    if (m_bHaveCredentials)
        FreeCredentialsHandle(&m_Credentials);
}

StreamState TLSSocket::GetConnectionState() const
{
    StreamState below = m_pStream->GetConnectionState();
    if (below != StreamOpen)
        return below;
    switch (m_Channel.load())
    {
    case Channel::Refused:
        return StreamConnectFailed;
    case Channel::Broken:
        return StreamClosed;
    default:
        return StreamOpen;
    }
}

SocketResult TLSSocket::BytesAvailable(int* pCount)
{
    return m_pStream->BytesAvailable(pCount);
}

SocketHandle TLSSocket::GetHandle() const
{
    return m_pStream->GetHandle();
}

SocketResult TLSSocket::Connect(const SocketAddress& address, int nPort)
{
    SocketResult nResult = m_pStream->Connect(address, nPort);
    if (nResult != ZymSocketOk)
        return nResult;
    // What a connection before this one left behind is not this one's.
    DropContext(Channel::Handshaking);
    m_nIncoming = 0;
    m_bNeedMore = false;
    m_nPlainStart = m_nPlainEnd = 0;
    if (Handshake() != ZymSocketOk)
    {
        // A failed connect: the owner closes the stream, and no byte of the
        // chat ever goes out on it.
        DropContext(Channel::Refused);
        return ZymSecureChannelRefused;
    }
    return ZymSocketOk;
}

SocketResult TLSSocket::AcquireCredentials()
{
    if (m_bHaveCredentials)
        return ZymSocketOk;
    SCHANNEL_CRED credentials = {};
    credentials.dwVersion = SCHANNEL_CRED_VERSION;
    credentials.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    credentials.dwFlags = SCH_CRED_NO_DEFAULT_CREDS | SCH_CRED_MANUAL_CRED_VALIDATION;
    SECURITY_STATUS status =
        AcquireCredentialsHandleA(nullptr, const_cast<SEC_CHAR*>(UNISP_NAME_A), SECPKG_CRED_OUTBOUND,
                                  nullptr, &credentials, nullptr, nullptr, &m_Credentials, nullptr);
    if (status != SEC_E_OK)
    {
        m_Log.Write("TLS with %s refused: the system's TLS library is not available (0x%lx)\n",
                    m_HostName.Text(), static_cast<unsigned long>(status));
        return ZymSecureChannelRefused;
    }
    m_bHaveCredentials = true;
    return ZymSocketOk;
}

SocketResult TLSSocket::Handshake()
{
    SocketResult nResult = AcquireCredentials();
    if (nResult != ZymSocketOk)
        return nResult;
    nResult = HandshakeSteps();
    if (nResult != ZymSocketOk)
        return nResult;
    nResult = VerifyServer();
    if (nResult != ZymSocketOk)
        return nResult;

    SecPkgContext_ConnectionInfo info = {};
    {
        ScopedThreadLock hold(m_ContextLock);
        if (QueryContextAttributesA(&m_Context, SECPKG_ATTR_STREAM_SIZES, &m_Sizes) != SEC_E_OK ||
            m_Sizes.cbMaximumMessage == 0 ||
            static_cast<int>(m_Sizes.cbHeader + m_Sizes.cbMaximumMessage + m_Sizes.cbTrailer) >
                kRecordRoom)
        {
            m_Log.Write("TLS with %s refused: the record sizes are unusable\n", m_HostName.Text());
            return ZymSecureChannelRefused;
        }
        QueryContextAttributesA(&m_Context, SECPKG_ATTR_CONNECTION_INFO, &info);
        // A Disconnect from another thread during the handshake has closed
        // the connection; the channel is not opened on a closed stream.
        if (m_pStream->GetConnectionState() != StreamOpen)
            return ZymSecureChannelRefused;
        m_Channel = Channel::Open;
    }
    m_Log.Write("TLS with %s established: %s\n", m_HostName.Text(),
                DescribeSecureChannel(info).Text());
    return ZymSocketOk;
}

SocketResult TLSSocket::HandshakeSteps()
{
    DWORD nStart = GetTickCount();
    bool bFirst = true;
    bool bReadFirst = false;
    // A server that asks for a certificate again after it was declined would
    // otherwise be answered for ever.
    bool bDeclined = false;
    for (;;)
    {
        if (bReadFirst)
        {
            int nLeft = kHandshakeMilliseconds - static_cast<int>(GetTickCount() - nStart);
            if (nLeft <= 0 || !ReadMoreWithin(nLeft))
            {
                m_Log.Write("TLS with %s refused: the server closed the connection, failed or did "
                            "not answer during the handshake\n",
                            m_HostName.Text());
                return ZymSecureChannelRefused;
            }
        }

        // The held bytes start at a record: one whose type is none of TLS's
        // four is a server that speaks something else, and waiting for the
        // rest of a "record" whose length is made of text would only run
        // out the time.
        if (m_nIncoming > 0 && (m_pIncoming[0] < kFirstRecordType || m_pIncoming[0] > kLastRecordType))
        {
            m_Log.Write("TLS with %s refused: the server does not speak TLS\n", m_HostName.Text());
            return ZymSecureChannelRefused;
        }
        unsigned long nHeld = static_cast<unsigned long>(m_nIncoming);
        SecBuffer input[2] = {{nHeld, SECBUFFER_TOKEN, m_pIncoming.get()},
                              {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inputDesc = {SECBUFFER_VERSION, 2, input};
        OutputTokens output;
        DWORD nAttributes = 0;
        SECURITY_STATUS status;
        {
            ScopedThreadLock hold(m_ContextLock);
            status = InitializeSecurityContextA(
                &m_Credentials, bFirst ? nullptr : &m_Context,
                const_cast<SEC_CHAR*>(m_HostName.Text()), kContextRequest, 0, 0,
                bFirst ? nullptr : &inputDesc, 0, bFirst ? &m_Context : nullptr, &output.desc,
                &nAttributes, nullptr);
            if (bFirst && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED ||
                           status == SEC_E_INCOMPLETE_MESSAGE))
                m_bHaveContext = true;
        }
        bFirst = false;

        HandshakePlan plan = PlanHandshakeStep(status, nAttributes, input, output.buffers[0], nHeld);
        if (plan.bSendToken &&
            SendRaw(static_cast<const char*>(output.buffers[0].pvBuffer),
                    static_cast<int>(output.buffers[0].cbBuffer)) != ZymSocketOk)
        {
            m_Log.Write("TLS with %s refused: a handshake message could not be sent\n",
                        m_HostName.Text());
            return ZymSecureChannelRefused;
        }
        if (plan.step == HandshakeStep::GoOnWithoutCertificate)
        {
            if (bDeclined)
            {
                m_Log.Write("TLS with %s refused: the server insists on a client certificate\n",
                            m_HostName.Text());
                return ZymSecureChannelRefused;
            }
            bDeclined = true;
            m_Log.Write("TLS with %s: the server asked for a client certificate; going on without "
                        "one\n",
                        m_HostName.Text());
        }
        else if (plan.step == HandshakeStep::Fail)
        {
            m_Log.Write("TLS with %s refused: the handshake failed (0x%lx)\n", m_HostName.Text(),
                        static_cast<unsigned long>(status));
            return ZymSecureChannelRefused;
        }
        // What the server sent behind the handshake's last message stays
        // for the next step or for the first Receive.
        KeepHeldTail(plan.nKeep);
        bReadFirst = plan.bReadFirst;
        if (plan.step == HandshakeStep::Established)
            return ZymSocketOk;
    }
}

SocketResult TLSSocket::VerifyServer()
{
    PCCERT_CONTEXT pCertificate = nullptr;
    {
        ScopedThreadLock hold(m_ContextLock);
        if (QueryContextAttributesA(&m_Context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &pCertificate) !=
            SEC_E_OK)
            pCertificate = nullptr;
    }
    ZymString reason;
    bool bTrusted = CheckServerCertificate(pCertificate, m_HostName.Text(), &reason);
    if (pCertificate != nullptr)
        CertFreeCertificateContext(pCertificate);
    if (!bTrusted)
    {
        m_Log.Write("TLS with %s refused: %s\n", m_HostName.Text(), reason.Text());
        return ZymSecureChannelRefused;
    }
    return ZymSocketOk;
}

void TLSSocket::KeepHeldTail(unsigned long nKeep)
{
    if (nKeep > 0 && static_cast<int>(nKeep) < m_nIncoming)
        std::memmove(m_pIncoming.get(), m_pIncoming.get() + m_nIncoming - nKeep, nKeep);
    m_nIncoming = static_cast<int>(nKeep);
}

bool TLSSocket::ReadMoreWithin(int nMilliseconds)
{
    if (m_nIncoming >= kRecordRoom)
        return false;
    SocketBase* pStream = m_pStream.get();
    short nIndex = 0;
    if (WaitForReadable(&pStream, 1, nMilliseconds, &nIndex) != ZymSocketOk)
        return false;
    int nRead = kRecordRoom - m_nIncoming;
    if (m_pStream->Receive(m_pIncoming.get() + m_nIncoming, &nRead) != ZymSocketOk ||
        m_pStream->GetConnectionState() != StreamOpen || nRead <= 0)
        return false;
    m_nIncoming += nRead;
    return true;
}

SocketResult TLSSocket::SendRaw(const char* pData, int nLength)
{
    // A stream that is not open takes nothing and says it took it all; here
    // that is a failure.
    int nSent = 0;
    return SendAll(
        [this](const char* pChunk, int* pLength) {
            return m_pStream->GetConnectionState() == StreamOpen ? m_pStream->Send(pChunk, pLength)
                                                                 : ZymSendFailed;
        },
        pData, nLength, &nSent);
}

SocketResult TLSSocket::Send(const char* pData, int* pLength)
{
    if (GetConnectionState() != StreamOpen)
        return ZymSocketOk;
    int nDone = 0;
    while (nDone < *pLength)
    {
        int nChunk = 0;
        int nRecord = 0;
        {
            ScopedThreadLock hold(m_ContextLock);
            if (m_Channel != Channel::Open)
            {
                *pLength = nDone;
                return ZymSendFailed;
            }
            int nMessage = static_cast<int>(m_Sizes.cbMaximumMessage);
            nChunk = *pLength - nDone < nMessage ? *pLength - nDone : nMessage;
            char* pHeader = m_pOutgoing.get();
            char* pBody = pHeader + m_Sizes.cbHeader;
            std::memcpy(pBody, pData + nDone, nChunk);
            SecBuffer buffers[4] = {
                {m_Sizes.cbHeader, SECBUFFER_STREAM_HEADER, pHeader},
                {static_cast<unsigned long>(nChunk), SECBUFFER_DATA, pBody},
                {m_Sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, pBody + nChunk},
                {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc desc = {SECBUFFER_VERSION, 4, buffers};
            SECURITY_STATUS status = EncryptMessage(&m_Context, 0, &desc, 0);
            if (status != SEC_E_OK)
            {
                m_Log.Write("TLS with %s: a record could not be encrypted (0x%lx)\n",
                            m_HostName.Text(), static_cast<unsigned long>(status));
                BreakHeld();
                *pLength = nDone;
                return ZymSendFailed;
            }
            nRecord = static_cast<int>(buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
            m_bSending = true;
        }
        // Sent without the lock: a Disconnect from the other thread must not
        // wait for a peer that does not read. It then skips its close notify,
        // which would land inside this record, and cuts the send short.
        SocketResult nResult = SendRaw(m_pOutgoing.get(), nRecord);
        {
            ScopedThreadLock hold(m_ContextLock);
            m_bSending = false;
        }
        if (nResult != ZymSocketOk)
        {
            *pLength = nDone;
            return nResult;
        }
        nDone += nChunk;
    }
    *pLength = nDone;
    return ZymSocketOk;
}

bool TLSSocket::HoldsData() const
{
    if (GetConnectionState() != StreamOpen)
        return false;
    return m_nPlainEnd > m_nPlainStart || (m_nIncoming > 0 && !m_bNeedMore);
}

SocketResult TLSSocket::HandOut(char* pBuffer, int* pLength)
{
    int nHeld = m_nPlainEnd - m_nPlainStart;
    int nCount = *pLength < nHeld ? *pLength : nHeld;
    std::memcpy(pBuffer, m_pPlain.get() + m_nPlainStart, nCount);
    m_nPlainStart += nCount;
    if (m_nPlainStart == m_nPlainEnd)
        m_nPlainStart = m_nPlainEnd = 0;
    *pLength = nCount;
    return ZymSocketOk;
}

void TLSSocket::BreakHeld()
{
    m_nIncoming = 0;
    m_Channel = Channel::Broken;
    // Nothing can be read or sent on the channel any more: the connection
    // closes now, so that a wait on it ends instead of watching a socket
    // that the server keeps open.
    m_pStream->Disconnect();
}

SocketResult TLSSocket::Receive(char* pBuffer, int* pLength)
{
    if (GetConnectionState() != StreamOpen)
        return ZymSocketOk;
    if (m_nPlainEnd > m_nPlainStart)
        return HandOut(pBuffer, pLength);

    // Only when nothing decryptable is held did the wait look at the
    // network: then, and only then, one read may be made without blocking
    // for long.
    if (m_nIncoming == 0 || m_bNeedMore)
    {
        if (m_nIncoming >= kRecordRoom)
        {
            m_Log.Write("TLS with %s: a record is larger than TLS allows\n", m_HostName.Text());
            ScopedThreadLock hold(m_ContextLock);
            BreakHeld();
            return ZymReceiveFailed;
        }
        int nRead = kRecordRoom - m_nIncoming;
        SocketResult nResult = m_pStream->Receive(m_pIncoming.get() + m_nIncoming, &nRead);
        if (nResult != ZymSocketOk)
            return nResult;
        if (m_pStream->GetConnectionState() != StreamOpen || nRead <= 0)
        {
            *pLength = 0;
            return ZymSocketOk;
        }
        m_nIncoming += nRead;
        m_bNeedMore = false;
    }

    SocketResult nResult = DecryptHeld();
    if (nResult != ZymSocketOk)
        return nResult;
    if (m_nPlainEnd > m_nPlainStart)
        return HandOut(pBuffer, pLength);
    *pLength = 0;
    return ZymSocketOk;
}

SocketResult TLSSocket::DecryptHeld()
{
    ScopedThreadLock hold(m_ContextLock);
    while (m_nIncoming > 0 && !m_bNeedMore && m_nPlainEnd == 0)
    {
        if (m_Channel != Channel::Open)
        {
            m_nIncoming = 0;
            return ZymConnectionAborted;
        }
        unsigned long nHeld = static_cast<unsigned long>(m_nIncoming);
        SecBuffer buffers[4] = {{nHeld, SECBUFFER_DATA, m_pIncoming.get()},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc = {SECBUFFER_VERSION, 4, buffers};
        SECURITY_STATUS status = DecryptMessage(&m_Context, &desc, 0, nullptr);
        RecordPlan plan = PlanRecordStep(status, buffers, nHeld);
        switch (plan.step)
        {
        case RecordStep::ReadMore:
            m_bNeedMore = true;
            return ZymSocketOk;
        case RecordStep::PeerClosed:
            // Nothing more comes on this channel, and the connection's close
            // follows.
            m_Log.Write("TLS with %s: the server closed the channel\n", m_HostName.Text());
            m_nIncoming = 0;
            m_Channel = Channel::ClosedByPeer;
            return ZymSocketOk;
        case RecordStep::Renegotiate:
            // A new handshake in the middle of the chat would run on this
            // thread while the other one sends, and could bring another
            // certificate to verify; an IRC server has no need of one.
            m_Log.Write("TLS with %s: the server asked to renegotiate the channel; refused, the "
                        "connection closes\n",
                        m_HostName.Text());
            BreakHeld();
            return ZymReceiveFailed;
        case RecordStep::Fail:
            m_Log.Write("TLS with %s: a record could not be decrypted (0x%lx)\n", m_HostName.Text(),
                        static_cast<unsigned long>(status));
            BreakHeld();
            return ZymReceiveFailed;
        case RecordStep::Plain:
            break;
        }
        if (plan.nPlain > 0)
        {
            std::memcpy(m_pPlain.get(), plan.pPlain, plan.nPlain);
            m_nPlainStart = 0;
            m_nPlainEnd = static_cast<int>(plan.nPlain);
        }
        KeepHeldTail(plan.nKeep);
    }
    return ZymSocketOk;
}

SocketResult TLSSocket::Disconnect()
{
    CloseChannel();
    return m_pStream->Disconnect();
}

void TLSSocket::CloseChannel()
{
    // A context whose handshake is still running belongs to that handshake
    // (it ends when the closed stream fails it).
    ScopedThreadLock hold(m_ContextLock);
    if (m_Channel == Channel::Handshaking)
        return;
    if (m_Channel == Channel::Open && !m_bSending &&
        m_pStream->GetConnectionState() == StreamOpen)
    {
        DWORD nShutdown = SCHANNEL_SHUTDOWN;
        SecBuffer control = {sizeof(nShutdown), SECBUFFER_TOKEN, &nShutdown};
        SecBufferDesc controlDesc = {SECBUFFER_VERSION, 1, &control};
        if (ApplyControlToken(&m_Context, &controlDesc) == SEC_E_OK)
        {
            OutputTokens output;
            DWORD nAttributes = 0;
            SECURITY_STATUS status = InitializeSecurityContextA(
                &m_Credentials, &m_Context, const_cast<SEC_CHAR*>(m_HostName.Text()),
                kContextRequest, 0, 0, nullptr, 0, nullptr, &output.desc, &nAttributes, nullptr);
            if ((status == SEC_E_OK || status == SEC_I_CONTEXT_EXPIRED) &&
                output.buffers[0].cbBuffer > 0 &&
                WaitForWritable(*m_pStream, kCloseNotifyMilliseconds) == ZymSocketOk)
            {
                SendRaw(static_cast<const char*>(output.buffers[0].pvBuffer),
                        static_cast<int>(output.buffers[0].cbBuffer));
            }
        }
    }
    DropContextHeld(Channel::None);
}

void TLSSocket::DropContext(Channel next)
{
    ScopedThreadLock hold(m_ContextLock);
    DropContextHeld(next);
}

void TLSSocket::DropContextHeld(Channel next)
{
    if (m_bHaveContext)
    {
        DeleteSecurityContext(&m_Context);
        m_bHaveContext = false;
    }
    m_Channel = next;
}
