#ifndef ZYM_SECURECHANNELSTEPS_H
#define ZYM_SECURECHANNELSTEPS_H

#define SECURITY_WIN32
#include <windows.h>
#include <schannel.h>
#include <security.h>

// What the TLS layer does with each answer of the system's security calls.
// These are the layer's only reading of a SECURITY_STATUS and of the
// buffers a call filled: the handshake and the receive path act on the plan,
// so every answer has one meaning, written down here.

enum class HandshakeStep
{
    // SEC_E_OK: the channel is open.
    Established,
    // SEC_I_CONTINUE_NEEDED: the server's next message comes next.
    Continue,
    // SEC_E_INCOMPLETE_MESSAGE: the held bytes are only part of a message;
    // the call is made again once more have arrived behind them.
    ReadMore,
    // SEC_I_INCOMPLETE_CREDENTIALS: the server asked for a client
    // certificate and the credentials hold none. The call is made again with
    // the same input, and the library answers with an empty certificate
    // list; a server that insists ends the handshake itself.
    GoOnWithoutCertificate,
    // SEC_I_INCOMPLETE_CREDENTIALS although the credentials hold the
    // certificate the host named: the library will not present it (not one
    // the server's authorities vouch for). Going on would log in without
    // the identity the host asked for, so the handshake ends.
    CertificateNotPresented,
    // Anything else.
    Fail
};

struct HandshakePlan
{
    HandshakeStep step;
    // The token the call wrote goes to the server before anything else
    // (also an alert that tells a failing server why).
    bool bSendToken;
    // How many of the held bytes, counted from their end, the next call or
    // the first receive still needs.
    unsigned long nKeep;
    // The network must give more bytes before the next call.
    bool bReadFirst;
};

// nHeld: the bytes given as the call's input token. input: that call's two
// input buffers, as the call left them; token: its first output buffer.
// bOwnCertificate: the credentials hold a client certificate.
HandshakePlan PlanHandshakeStep(SECURITY_STATUS status, unsigned long nAttributes,
                                const SecBuffer (&input)[2], const SecBuffer& token,
                                unsigned long nHeld, bool bOwnCertificate);

enum class RecordStep
{
    // SEC_E_OK: a record was decrypted (it may carry no bytes).
    Plain,
    // SEC_E_INCOMPLETE_MESSAGE: the held bytes end inside a record.
    ReadMore,
    // SEC_I_CONTEXT_EXPIRED: the server's close notify.
    PeerClosed,
    // SEC_I_RENEGOTIATE: the server asks for a new handshake. Refused: the
    // connection closes, with the reason in the log (see TLSSocket.cpp).
    Renegotiate,
    // Anything else: the record cannot be trusted.
    Fail
};

struct RecordPlan
{
    RecordStep step;
    // The decrypted bytes, inside the held buffer (Plain only).
    const char* pPlain;
    unsigned long nPlain;
    // How many held bytes, counted from their end, belong to the records
    // behind this one.
    unsigned long nKeep;
};

// buffers: the four buffers of a DecryptMessage call whose data buffer held
// nHeld bytes, as the call left them.
RecordPlan PlanRecordStep(SECURITY_STATUS status, const SecBuffer (&buffers)[4],
                          unsigned long nHeld);

#endif
