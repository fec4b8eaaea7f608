// What the TLS layer does with every answer of InitializeSecurityContext and
// DecryptMessage, including the ones a Wine test peer never produces (Wine's
// library answers a certificate request itself, with an empty certificate
// list, and never reports SEC_I_INCOMPLETE_CREDENTIALS).
#include <gtest/gtest.h>

#include <string>

#include "SecureChannelSteps.h"

namespace
{
    const unsigned long kHeld = 100;
    char g_Held[kHeld];
    char g_Token[64];

    SecBuffer Empty() { return {0, SECBUFFER_EMPTY, nullptr}; }
    // The last n held bytes; a count beyond them (a faulty answer) points at
    // the first.
    SecBuffer Extra(unsigned long n)
    {
        return {n, SECBUFFER_EXTRA, n <= kHeld ? g_Held + kHeld - n : g_Held};
    }
    SecBuffer Data(unsigned long nAt, unsigned long n) { return {n, SECBUFFER_DATA, g_Held + nAt}; }

    struct HandshakeCase
    {
        const char* pszName;
        SECURITY_STATUS status;
        unsigned long nAttributes;
        bool bTokenWritten;
        SecBuffer second;
        HandshakeStep step;
        bool bSendToken;
        unsigned long nKeep;
        bool bReadFirst;
    };

    struct RecordCase
    {
        const char* pszName;
        SECURITY_STATUS status;
        SecBuffer buffers[4];
        RecordStep step;
        // Where the plain bytes start in the held ones, and how many; -1: none.
        int nPlainAt;
        unsigned long nPlain;
        unsigned long nKeep;
    };
}

TEST(SecureChannelSteps, EveryHandshakeAnswerHasOnePlan)
{
    const unsigned long kExtended = ISC_RET_EXTENDED_ERROR;
    const HandshakeCase cases[] = {
        {"done", SEC_E_OK, 0, true, Empty(), HandshakeStep::Established, true, 0, false},
        {"done, application data behind", SEC_E_OK, 0, false, Extra(20),
         HandshakeStep::Established, false, 20, false},
        {"continue, read next", SEC_I_CONTINUE_NEEDED, 0, true, Empty(), HandshakeStep::Continue,
         true, 0, true},
        {"continue, next message held", SEC_I_CONTINUE_NEEDED, 0, true, Extra(30),
         HandshakeStep::Continue, true, 30, false},
        {"continue, extra larger than held", SEC_I_CONTINUE_NEEDED, 0, true, Extra(kHeld + 1),
         HandshakeStep::Continue, true, 0, true},
        {"incomplete message", SEC_E_INCOMPLETE_MESSAGE, 0, false, Empty(), HandshakeStep::ReadMore,
         false, kHeld, true},
        // The server asked for a certificate: the same input goes in again
        // at once, nothing is sent and nothing is awaited first.
        {"certificate asked for", SEC_I_INCOMPLETE_CREDENTIALS, 0, false, Empty(),
         HandshakeStep::GoOnWithoutCertificate, false, kHeld, false},
        {"certificate asked for, extended error", SEC_I_INCOMPLETE_CREDENTIALS, kExtended, false,
         Empty(), HandshakeStep::GoOnWithoutCertificate, false, kHeld, false},
        {"failure with an alert", SEC_E_ILLEGAL_MESSAGE, kExtended, true, Empty(),
         HandshakeStep::Fail, true, 0, false},
        {"failure without extended errors", SEC_E_ILLEGAL_MESSAGE, 0, true, Empty(),
         HandshakeStep::Fail, false, 0, false},
        {"renegotiation is no handshake answer", SEC_I_RENEGOTIATE, 0, false, Empty(),
         HandshakeStep::Fail, false, 0, false},
        {"unsupported protocol", SEC_E_UNSUPPORTED_FUNCTION, kExtended, false, Empty(),
         HandshakeStep::Fail, false, 0, false},
    };
    for (const HandshakeCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        SecBuffer input[2] = {{kHeld, SECBUFFER_TOKEN, g_Held}, c.second};
        SecBuffer token = {c.bTokenWritten ? 7ul : 0ul, SECBUFFER_TOKEN,
                           c.bTokenWritten ? g_Token : nullptr};
        HandshakePlan plan = PlanHandshakeStep(c.status, c.nAttributes, input, token, kHeld, false);
        EXPECT_EQ(static_cast<int>(c.step), static_cast<int>(plan.step));
        EXPECT_EQ(c.bSendToken, plan.bSendToken);
        EXPECT_EQ(c.nKeep, plan.nKeep);
        EXPECT_EQ(c.bReadFirst, plan.bReadFirst);

        // With a certificate of our own in the credentials, a request the
        // library still calls unanswered means it will not present ours:
        // the handshake ends there, with nothing sent. Every other answer
        // means what it means without one.
        HandshakePlan own = PlanHandshakeStep(c.status, c.nAttributes, input, token, kHeld, true);
        if (c.status == SEC_I_INCOMPLETE_CREDENTIALS)
        {
            EXPECT_EQ(static_cast<int>(HandshakeStep::CertificateNotPresented),
                      static_cast<int>(own.step));
            EXPECT_FALSE(own.bSendToken);
            EXPECT_FALSE(own.bReadFirst);
        }
        else
        {
            EXPECT_EQ(static_cast<int>(plan.step), static_cast<int>(own.step));
            EXPECT_EQ(plan.bSendToken, own.bSendToken);
            EXPECT_EQ(plan.nKeep, own.nKeep);
            EXPECT_EQ(plan.bReadFirst, own.bReadFirst);
        }
    }
}

TEST(SecureChannelSteps, EveryDecryptAnswerHasOnePlan)
{
    const RecordCase cases[] = {
        {"record with records behind it", SEC_E_OK,
         {{5, SECBUFFER_STREAM_HEADER, g_Held}, Data(5, 40), {16, SECBUFFER_STREAM_TRAILER, g_Held + 45},
          Extra(30)},
         RecordStep::Plain, 5, 40, 30},
        {"empty record", SEC_E_OK,
         {{5, SECBUFFER_STREAM_HEADER, g_Held}, Data(5, 0), Empty(), Empty()}, RecordStep::Plain, -1,
         0, 0},
        {"extra as large as all that was held", SEC_E_OK,
         {Data(5, 10), Empty(), Empty(), Extra(kHeld)}, RecordStep::Plain, 5, 10, 0},
        {"data larger than held", SEC_E_OK, {Data(0, kHeld + 1), Empty(), Empty(), Empty()},
         RecordStep::Fail, -1, 0, 0},
        {"incomplete record", SEC_E_INCOMPLETE_MESSAGE, {Data(0, kHeld), Empty(), Empty(), Empty()},
         RecordStep::ReadMore, -1, 0, kHeld},
        {"close notify", SEC_I_CONTEXT_EXPIRED, {Data(0, 0), Empty(), Empty(), Empty()},
         RecordStep::PeerClosed, -1, 0, 0},
        // A hello request: refused, whatever the call left behind it.
        {"renegotiation", SEC_I_RENEGOTIATE, {Data(0, 0), Empty(), Empty(), Extra(12)},
         RecordStep::Renegotiate, -1, 0, 0},
        {"altered record", SEC_E_MESSAGE_ALTERED, {Data(0, kHeld), Empty(), Empty(), Empty()},
         RecordStep::Fail, -1, 0, 0},
        {"certificate request is no record answer", SEC_I_INCOMPLETE_CREDENTIALS,
         {Data(0, kHeld), Empty(), Empty(), Empty()}, RecordStep::Fail, -1, 0, 0},
    };
    for (const RecordCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        SecBuffer buffers[4] = {c.buffers[0], c.buffers[1], c.buffers[2], c.buffers[3]};
        RecordPlan plan = PlanRecordStep(c.status, buffers, kHeld);
        EXPECT_EQ(static_cast<int>(c.step), static_cast<int>(plan.step));
        EXPECT_EQ(c.nPlainAt < 0 ? nullptr : g_Held + c.nPlainAt, plan.pPlain);
        EXPECT_EQ(c.nPlain, plan.nPlain);
        EXPECT_EQ(c.nKeep, plan.nKeep);
    }
}
