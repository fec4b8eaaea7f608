// The security context's life: credentials, handshake, verification of the
// server and the close notify.
#include "TLSSocket.h"

#include "ScopedThreadLock.h"
#include "SecureChannelSteps.h"
#include "SecureChannelText.h"
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

SocketResult TLSSocket::AcquireCredentials()
{
    if (m_bHaveCredentials)
        return ZymSocketOk;
    SCHANNEL_CRED credentials = {};
    credentials.dwVersion = SCHANNEL_CRED_VERSION;
    credentials.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    credentials.dwFlags = SCH_CRED_NO_DEFAULT_CREDS | SCH_CRED_MANUAL_CRED_VALIDATION;
    if (m_ClientThumbprint.IsSet())
    {
        ZymString where;
        SocketResult nFound = m_ClientCertificate.Find(m_ClientThumbprint, &where);
        m_Log.Write("TLS with %s: client certificate %s: %s\n", m_HostName.Text(),
                    m_ClientThumbprint.Text().c_str(), where.Text());
        if (nFound != ZymSocketOk)
            return nFound;
        credentials.cCreds = 1;
        credentials.paCred = m_ClientCertificate.Contexts();
    }
    SECURITY_STATUS status =
        AcquireCredentialsHandleA(nullptr, const_cast<SEC_CHAR*>(UNISP_NAME_A), SECPKG_CRED_OUTBOUND,
                                  nullptr, &credentials, nullptr, nullptr, &m_Credentials, nullptr);
    if (status != SEC_E_OK && status != SEC_E_SECPKG_NOT_FOUND && m_ClientThumbprint.IsSet())
    {
        // The library could not take the certificate's key.
        m_Log.Write("TLS with %s refused: the TLS library does not take the client certificate "
                    "(0x%lx)\n",
                    m_HostName.Text(), static_cast<unsigned long>(status));
        return ZymClientCertificateUnusable;
    }
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

        HandshakePlan plan = PlanHandshakeStep(status, nAttributes, input, output.buffers[0], nHeld,
                                               m_ClientThumbprint.IsSet());
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
        else if (plan.step == HandshakeStep::CertificateNotPresented)
        {
            m_Log.Write("TLS with %s refused: the server asked for a client certificate and the "
                        "TLS library would not present %s\n",
                        m_HostName.Text(), m_ClientThumbprint.Text().c_str());
            return ZymClientCertificateUnusable;
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
