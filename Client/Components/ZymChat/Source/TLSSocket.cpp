#include "TLSSocket.h"

#include <cstdarg>
#include <cstring>

#include "ScopedThreadLock.h"
#include "SecureChannelText.h"
#include "SendAll.h"
#include "ServerCertificateCheck.h"
#include "SocketResults.h"

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

    // True once the socket can be read (or written) without blocking,
    // within nMilliseconds.
    bool WaitReady(SOCKET hSocket, int nMilliseconds, bool bWrite)
    {
        if (hSocket == 0)
            return false;
        fd_set set;
        FD_ZERO(&set);
        FD_SET(hSocket, &set);
        timeval limit = {nMilliseconds / 1000, (nMilliseconds % 1000) * 1000};
        return select(0, bWrite ? nullptr : &set, bWrite ? &set : nullptr, nullptr, &limit) == 1;
    }
}

TLSSocket::TLSSocket(const char* pszHostName, FILE* pLog)
    : m_HostName(pszHostName != nullptr ? pszHostName : ""),
      m_pLog(pLog),
      m_bHaveCredentials(false),
      m_bHaveContext(false),
      m_bEstablished(false),
      m_bSending(false),
      m_pIncoming(nullptr),
      m_nIncoming(0),
      m_bNeedMore(false),
      m_pPlain(nullptr),
      m_nPlainStart(0),
      m_nPlainEnd(0),
      m_pOutgoing(nullptr)
{
    std::memset(&m_Credentials, 0, sizeof(m_Credentials));
    std::memset(&m_Context, 0, sizeof(m_Context));
    std::memset(&m_Sizes, 0, sizeof(m_Sizes));
    m_pIncoming = new char[kRecordRoom];
    m_pPlain = new char[kRecordRoom];
    m_pOutgoing = new char[kRecordRoom];
}

TLSSocket::~TLSSocket()
{
    DeleteContext();
    if (m_bHaveCredentials)
        FreeCredentialsHandle(&m_Credentials);
    delete[] m_pIncoming;
    delete[] m_pPlain;
    delete[] m_pOutgoing;
}

void TLSSocket::Note(const char* pszFormat, ...)
{
    if (m_pLog == nullptr)
        return;
    va_list arguments;
    va_start(arguments, pszFormat);
    std::vfprintf(m_pLog, pszFormat, arguments);
    va_end(arguments);
    std::fflush(m_pLog);
}

int TLSSocket::Connect(const SocketAddress& address, int nPort)
{
    int nResult = TCPSocket::Connect(address, nPort);
    if (nResult != ZymSocketOk)
        return nResult;
    m_nIncoming = 0;
    m_bNeedMore = false;
    m_nPlainStart = m_nPlainEnd = 0;
    if (Handshake() != ZymSocketOk)
    {
        // Marked as a failed connect: the owner closes the socket, and no
        // byte of the chat ever goes out on it.
        DeleteContext();
        if (m_nConnectionState == 1)
            m_nConnectionState = 2;
        return ZymSecureChannelRefused;
    }
    return ZymSocketOk;
}

int TLSSocket::Handshake()
{
    if (!m_bHaveCredentials)
    {
        SCHANNEL_CRED credentials = {};
        credentials.dwVersion = SCHANNEL_CRED_VERSION;
        credentials.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
        credentials.dwFlags = SCH_CRED_NO_DEFAULT_CREDS | SCH_CRED_MANUAL_CRED_VALIDATION;
        SECURITY_STATUS status = AcquireCredentialsHandleA(
            nullptr, const_cast<SEC_CHAR*>(UNISP_NAME_A), SECPKG_CRED_OUTBOUND, nullptr,
            &credentials, nullptr, nullptr, &m_Credentials, nullptr);
        if (status != SEC_E_OK)
        {
            Note("TLS with %s refused: the system's TLS library is not available (0x%lx)\n",
                 m_HostName.Text(), static_cast<unsigned long>(status));
            return ZymSecureChannelRefused;
        }
        m_bHaveCredentials = true;
    }

    int nResult = HandshakeSteps();
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
            Note("TLS with %s refused: the record sizes are unusable\n", m_HostName.Text());
            return ZymSecureChannelRefused;
        }
        QueryContextAttributesA(&m_Context, SECPKG_ATTR_CONNECTION_INFO, &info);
        // A Disconnect from another thread during the handshake has closed
        // the connection; the channel is not opened on a closed socket.
        if (m_nConnectionState != 1)
            return ZymSecureChannelRefused;
        m_bEstablished = true;
    }
    Note("TLS with %s established: %s\n", m_HostName.Text(), DescribeSecureChannel(info).Text());
    return ZymSocketOk;
}

int TLSSocket::HandshakeSteps()
{
    DWORD nStart = GetTickCount();
    DWORD nAttributes = 0;
    bool bFirst = true;
    SECURITY_STATUS status = SEC_I_CONTINUE_NEEDED;
    while (status != SEC_E_OK)
    {
        if (!bFirst && (m_nIncoming == 0 || status == SEC_E_INCOMPLETE_MESSAGE))
        {
            int nLeft = kHandshakeMilliseconds - static_cast<int>(GetTickCount() - nStart);
            if (nLeft <= 0 || !ReadMoreWithin(nLeft))
            {
                Note("TLS with %s refused: the server closed the connection, failed or did not "
                     "answer during the handshake\n",
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
            Note("TLS with %s refused: the server does not speak TLS\n", m_HostName.Text());
            return ZymSecureChannelRefused;
        }
        SecBuffer input[2] = {{static_cast<unsigned long>(m_nIncoming), SECBUFFER_TOKEN, m_pIncoming},
                              {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inputDesc = {SECBUFFER_VERSION, 2, input};
        OutputTokens output;
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

        if (output.buffers[0].cbBuffer != 0 && output.buffers[0].pvBuffer != nullptr &&
            (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED ||
             (nAttributes & ISC_RET_EXTENDED_ERROR) != 0))
        {
            if (SendRaw(static_cast<const char*>(output.buffers[0].pvBuffer),
                        static_cast<int>(output.buffers[0].cbBuffer)) != ZymSocketOk)
            {
                Note("TLS with %s refused: a handshake message could not be sent\n",
                     m_HostName.Text());
                return ZymSecureChannelRefused;
            }
        }

        if (status == SEC_E_INCOMPLETE_MESSAGE)
            continue;
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED)
        {
            Note("TLS with %s refused: the handshake failed (0x%lx)\n", m_HostName.Text(),
                 static_cast<unsigned long>(status));
            return ZymSecureChannelRefused;
        }
        // What the server sent behind the handshake's last message stays
        // for the next step or for the first Receive.
        if (input[1].BufferType == SECBUFFER_EXTRA && input[1].cbBuffer > 0 &&
            static_cast<int>(input[1].cbBuffer) <= m_nIncoming)
        {
            std::memmove(m_pIncoming, m_pIncoming + m_nIncoming - input[1].cbBuffer,
                         input[1].cbBuffer);
            m_nIncoming = static_cast<int>(input[1].cbBuffer);
        }
        else
        {
            m_nIncoming = 0;
        }
    }
    return ZymSocketOk;
}

int TLSSocket::VerifyServer()
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
        Note("TLS with %s refused: %s\n", m_HostName.Text(), reason.Text());
        return ZymSecureChannelRefused;
    }
    return ZymSocketOk;
}

bool TLSSocket::ReadMoreWithin(int nMilliseconds)
{
    if (m_nIncoming >= kRecordRoom || !WaitReady(m_hSocket, nMilliseconds, false))
        return false;
    int nRead = kRecordRoom - m_nIncoming;
    if (TCPSocket::Receive(m_pIncoming + m_nIncoming, &nRead) != ZymSocketOk ||
        m_nConnectionState != 1 || nRead <= 0)
        return false;
    m_nIncoming += nRead;
    return true;
}

int TLSSocket::SendRaw(const char* pData, int nLength)
{
    // A TCP send on a socket marked not connected takes nothing and says it
    // took it all; here that is a failure.
    int nSent = 0;
    return SendAll(
        [this](const char* pChunk, int* pLength) {
            return m_nConnectionState == 1 ? TCPSocket::Send(pChunk, pLength) : ZymSendFailed;
        },
        pData, nLength, &nSent);
}

int TLSSocket::Send(const char* pData, int* pLength)
{
    if (m_nNetworkState != 1 || m_nConnectionState != 1)
        return ZymSocketOk;
    int nDone = 0;
    while (nDone < *pLength)
    {
        int nChunk = 0;
        int nRecord = 0;
        {
            ScopedThreadLock hold(m_ContextLock);
            if (!m_bEstablished)
            {
                *pLength = nDone;
                return ZymSendFailed;
            }
            int nMessage = static_cast<int>(m_Sizes.cbMaximumMessage);
            nChunk = *pLength - nDone < nMessage ? *pLength - nDone : nMessage;
            char* pHeader = m_pOutgoing;
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
                Note("TLS with %s: a record could not be encrypted (0x%lx)\n", m_HostName.Text(),
                     static_cast<unsigned long>(status));
                m_nConnectionState = 0;
                *pLength = nDone;
                return ZymSendFailed;
            }
            nRecord = static_cast<int>(buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
            m_bSending = true;
        }
        // Sent without the lock: a Disconnect from the other thread must not
        // wait for a peer that does not read. It then skips its close notify,
        // which would land inside this record, and cuts the send short.
        int nResult = SendRaw(m_pOutgoing, nRecord);
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

bool TLSSocket::HoldsData()
{
    if (m_nConnectionState != 1)
        return false;
    return m_nPlainEnd > m_nPlainStart || (m_nIncoming > 0 && !m_bNeedMore);
}

int TLSSocket::HandOut(char* pBuffer, int* pLength)
{
    int nHeld = m_nPlainEnd - m_nPlainStart;
    int nCount = *pLength < nHeld ? *pLength : nHeld;
    std::memcpy(pBuffer, m_pPlain + m_nPlainStart, nCount);
    m_nPlainStart += nCount;
    if (m_nPlainStart == m_nPlainEnd)
        m_nPlainStart = m_nPlainEnd = 0;
    *pLength = nCount;
    return ZymSocketOk;
}

int TLSSocket::Receive(char* pBuffer, int* pLength)
{
    if (m_nNetworkState != 1 || m_nConnectionState != 1)
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
            Note("TLS with %s: a record is larger than TLS allows\n", m_HostName.Text());
            m_nConnectionState = 0;
            return ZymReceiveFailed;
        }
        int nRead = kRecordRoom - m_nIncoming;
        int nResult = TCPSocket::Receive(m_pIncoming + m_nIncoming, &nRead);
        if (nResult != ZymSocketOk)
            return nResult;
        if (m_nConnectionState != 1 || nRead <= 0)
        {
            *pLength = 0;
            return ZymSocketOk;
        }
        m_nIncoming += nRead;
        m_bNeedMore = false;
    }

    int nResult = DecryptHeld();
    if (nResult != ZymSocketOk)
        return nResult;
    if (m_nPlainEnd > m_nPlainStart)
        return HandOut(pBuffer, pLength);
    *pLength = 0;
    return ZymSocketOk;
}

int TLSSocket::DecryptHeld()
{
    ScopedThreadLock hold(m_ContextLock);
    while (m_nIncoming > 0 && !m_bNeedMore && m_nPlainEnd == 0)
    {
        if (!m_bEstablished)
        {
            m_nIncoming = 0;
            return ZymConnectionAborted;
        }
        SecBuffer buffers[4] = {{static_cast<unsigned long>(m_nIncoming), SECBUFFER_DATA, m_pIncoming},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc = {SECBUFFER_VERSION, 4, buffers};
        SECURITY_STATUS status = DecryptMessage(&m_Context, &desc, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE)
        {
            m_bNeedMore = true;
            break;
        }
        if (status == SEC_I_CONTEXT_EXPIRED)
        {
            // The server's close notify: nothing more comes on this channel,
            // and the connection's close follows.
            Note("TLS with %s: the server closed the channel\n", m_HostName.Text());
            m_nIncoming = 0;
            m_bEstablished = false;
            break;
        }
        if (status != SEC_E_OK)
        {
            Note("TLS with %s: a record could not be decrypted (0x%lx)\n", m_HostName.Text(),
                 static_cast<unsigned long>(status));
            m_nIncoming = 0;
            m_nConnectionState = 0;
            return ZymReceiveFailed;
        }

        SecBuffer* pData = nullptr;
        SecBuffer* pExtra = nullptr;
        for (SecBuffer& buffer : buffers)
        {
            if (buffer.BufferType == SECBUFFER_DATA && pData == nullptr)
                pData = &buffer;
            else if (buffer.BufferType == SECBUFFER_EXTRA && pExtra == nullptr)
                pExtra = &buffer;
        }
        if (pData != nullptr && pData->cbBuffer > 0)
        {
            int nPlain = static_cast<int>(pData->cbBuffer);
            if (nPlain > kRecordRoom)
            {
                m_nIncoming = 0;
                m_nConnectionState = 0;
                return ZymReceiveFailed;
            }
            std::memcpy(m_pPlain, pData->pvBuffer, nPlain);
            m_nPlainStart = 0;
            m_nPlainEnd = nPlain;
        }
        if (pExtra != nullptr && pExtra->cbBuffer > 0 &&
            static_cast<int>(pExtra->cbBuffer) < m_nIncoming)
        {
            std::memmove(m_pIncoming, m_pIncoming + m_nIncoming - pExtra->cbBuffer,
                         pExtra->cbBuffer);
            m_nIncoming = static_cast<int>(pExtra->cbBuffer);
        }
        else
        {
            m_nIncoming = 0;
        }
    }
    return ZymSocketOk;
}

int TLSSocket::Disconnect()
{
    CloseChannel();
    return TCPSocket::Disconnect();
}

void TLSSocket::CloseChannel()
{
    // A context whose handshake is still running belongs to that handshake
    // (it ends when the closed socket fails it); only an open channel is
    // closed here.
    ScopedThreadLock hold(m_ContextLock);
    if (!m_bEstablished)
        return;
    m_bEstablished = false;
    DWORD nShutdown = SCHANNEL_SHUTDOWN;
    SecBuffer control = {sizeof(nShutdown), SECBUFFER_TOKEN, &nShutdown};
    SecBufferDesc controlDesc = {SECBUFFER_VERSION, 1, &control};
    if (m_nConnectionState == 1 && !m_bSending &&
        ApplyControlToken(&m_Context, &controlDesc) == SEC_E_OK)
    {
        OutputTokens output;
        DWORD nAttributes = 0;
        SECURITY_STATUS status = InitializeSecurityContextA(
            &m_Credentials, &m_Context, const_cast<SEC_CHAR*>(m_HostName.Text()),
            kContextRequest, 0, 0, nullptr, 0, nullptr, &output.desc, &nAttributes, nullptr);
        if ((status == SEC_E_OK || status == SEC_I_CONTEXT_EXPIRED) &&
            output.buffers[0].cbBuffer > 0 && WaitReady(m_hSocket, kCloseNotifyMilliseconds, true))
        {
            SendRaw(static_cast<const char*>(output.buffers[0].pvBuffer),
                    static_cast<int>(output.buffers[0].cbBuffer));
        }
    }
    DeleteSecurityContext(&m_Context);
    m_bHaveContext = false;
}

void TLSSocket::DeleteContext()
{
    ScopedThreadLock hold(m_ContextLock);
    m_bEstablished = false;
    if (m_bHaveContext)
    {
        DeleteSecurityContext(&m_Context);
        m_bHaveContext = false;
    }
}
