#ifndef ZYM_CERTIFICATETHUMBPRINT_H
#define ZYM_CERTIFICATETHUMBPRINT_H

#include <string>

// The SHA-1 hash that names a certificate in a system store, as a host
// writes it: 40 hex digits of either case, with blanks allowed between the
// pairs (the way the system's certificate dialogs show it). Parsed once;
// the socket layer looks the certificate up by Bytes().
class CertificateThumbprint
{
public:
    static const int kSize = 20;

    // The empty thumbprint: no client certificate.
    CertificateThumbprint();

    // False, leaving this unchanged, for a text that is not a thumbprint. A
    // null or empty text makes the empty thumbprint.
    bool Parse(const char* pszText);
    bool IsSet() const { return m_bSet; }
    const unsigned char* Bytes() const { return m_Bytes; }
    // 40 upper-case hex digits without blanks; empty when not set.
    std::string Text() const;

private:
    unsigned char m_Bytes[kSize];
    bool m_bSet;
};

#endif
