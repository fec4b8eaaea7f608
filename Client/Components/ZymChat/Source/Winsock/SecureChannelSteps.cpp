#include "SecureChannelSteps.h"

namespace
{
    // The bytes behind the ones a call used, when the call says so in a
    // buffer that can be believed.
    unsigned long ExtraBytes(const SecBuffer& buffer, unsigned long nHeld)
    {
        if (buffer.BufferType != SECBUFFER_EXTRA || buffer.cbBuffer > nHeld)
            return 0;
        return buffer.cbBuffer;
    }
}

HandshakePlan PlanHandshakeStep(SECURITY_STATUS status, unsigned long nAttributes,
                                const SecBuffer (&input)[2], const SecBuffer& token,
                                unsigned long nHeld, bool bOwnCertificate)
{
    bool bToken = token.cbBuffer != 0 && token.pvBuffer != nullptr;
    HandshakePlan plan = {HandshakeStep::Fail, false, 0, false};
    switch (status)
    {
    case SEC_E_OK:
        plan.step = HandshakeStep::Established;
        plan.bSendToken = bToken;
        plan.nKeep = ExtraBytes(input[1], nHeld);
        break;
    case SEC_I_CONTINUE_NEEDED:
        plan.step = HandshakeStep::Continue;
        plan.bSendToken = bToken;
        plan.nKeep = ExtraBytes(input[1], nHeld);
        plan.bReadFirst = plan.nKeep == 0;
        break;
    case SEC_E_INCOMPLETE_MESSAGE:
        plan.step = HandshakeStep::ReadMore;
        plan.nKeep = nHeld;
        plan.bReadFirst = true;
        break;
    case SEC_I_INCOMPLETE_CREDENTIALS:
        if (bOwnCertificate)
        {
            plan.step = HandshakeStep::CertificateNotPresented;
            break;
        }
        plan.step = HandshakeStep::GoOnWithoutCertificate;
        plan.nKeep = nHeld;
        break;
    default:
        plan.bSendToken = bToken && (nAttributes & ISC_RET_EXTENDED_ERROR) != 0;
        break;
    }
    return plan;
}

RecordPlan PlanRecordStep(SECURITY_STATUS status, const SecBuffer (&buffers)[4],
                          unsigned long nHeld)
{
    RecordPlan plan = {RecordStep::Fail, nullptr, 0, 0};
    switch (status)
    {
    case SEC_E_OK:
        break;
    case SEC_E_INCOMPLETE_MESSAGE:
        plan.step = RecordStep::ReadMore;
        plan.nKeep = nHeld;
        return plan;
    case SEC_I_CONTEXT_EXPIRED:
        plan.step = RecordStep::PeerClosed;
        return plan;
    case SEC_I_RENEGOTIATE:
        plan.step = RecordStep::Renegotiate;
        return plan;
    default:
        return plan;
    }

    const SecBuffer* pData = nullptr;
    const SecBuffer* pExtra = nullptr;
    for (const SecBuffer& buffer : buffers)
    {
        if (buffer.BufferType == SECBUFFER_DATA && pData == nullptr)
            pData = &buffer;
        else if (buffer.BufferType == SECBUFFER_EXTRA && pExtra == nullptr)
            pExtra = &buffer;
    }
    // The record's bytes are decrypted in place: a data buffer larger than
    // what was held is no answer to trust.
    if (pData != nullptr && pData->cbBuffer > nHeld)
        return plan;
    plan.step = RecordStep::Plain;
    if (pData != nullptr && pData->cbBuffer > 0)
    {
        plan.pPlain = static_cast<const char*>(pData->pvBuffer);
        plan.nPlain = pData->cbBuffer;
    }
    // Extra bytes are those behind this record: all of the held ones cannot
    // be.
    if (pExtra != nullptr && pExtra->cbBuffer < nHeld)
        plan.nKeep = pExtra->cbBuffer;
    return plan;
}
