#include "TLSSocket.h"

#include <cstring>

#include "ScopedThreadLock.h"
#include "SecureChannelSteps.h"
#include "SendAll.h"

TLSSocket::TLSSocket(std::unique_ptr<SocketBase> pStream, const char* pszHostName,
                     const CertificateThumbprint& clientCertificate, const DiagnosticLog& log)
    : m_pStream(std::move(pStream)),
      m_Log(log),
      m_HostName(pszHostName != nullptr ? pszHostName : ""),
      m_ClientThumbprint(clientCertificate),
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
    nResult = Handshake();
    if (nResult != ZymSocketOk)
    {
        // A failed connect: the owner closes the stream, and no byte of the
        // chat ever goes out on it.
        DropContext(Channel::Refused);
        return nResult;
    }
    return ZymSocketOk;
}

void TLSSocket::KeepHeldTail(unsigned long nKeep)
{
    if (nKeep > 0 && static_cast<int>(nKeep) < m_nIncoming)
        std::memmove(m_pIncoming.get(), m_pIncoming.get() + m_nIncoming - nKeep, nKeep);
    m_nIncoming = static_cast<int>(nKeep);
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
