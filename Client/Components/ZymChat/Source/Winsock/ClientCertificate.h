#ifndef ZYM_CLIENTCERTIFICATE_H
#define ZYM_CLIENTCERTIFICATE_H

#include <windows.h>
#include <wincrypt.h>

#include "SocketResults.h"

class CertificateThumbprint;
class ZymString;

// The certificate a TLS connection presents as the client's, taken from the
// system's "MY" store (the current user's first, then the local machine's)
// by its thumbprint, with a private key this user can sign with. Held for
// as long as the credentials made from it.
class ClientCertificate
{
public:
    ClientCertificate();
    ~ClientCertificate();
    ClientCertificate(const ClientCertificate&) = delete;
    ClientCertificate& operator=(const ClientCertificate&) = delete;

    // ZymSocketOk, ZymClientCertificateNotFound or
    // ZymClientCertificateUnusable (no private key that can be used without
    // asking the user); pReason receives where it was found or why not.
    SocketResult Find(const CertificateThumbprint& thumbprint, ZymString* pReason);
    // Null until found. The credentials take an array of these.
    PCCERT_CONTEXT* Contexts() { return &m_pContext; }

private:
    PCCERT_CONTEXT m_pContext;
};

#endif
