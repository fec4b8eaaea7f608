#ifndef ZYM_SERVERTEXT_H
#define ZYM_SERVERTEXT_H

#include "ZymString.h"

// The server a host names in ConnectToServer, in one of three forms:
//   host              plain, port 6667
//   host:port         plain, that port
//   ircs://host[:port] TLS, port 6697 unless given
// host is made of letters, digits, '-', '.' and '_' (at most 255); port is
// 1 to 65535 in decimal digits; the scheme is matched without regard to case.
// Anything else is malformed.
class ServerText
{
public:
    static const int kPlainPort = 6667;
    static const int kSecurePort = 6697;
    static const int kMaxHostLength = 255;

    ServerText();

    // False, and the text counts as malformed, when it fits none of the forms.
    bool Parse(const char* pszText);

    bool IsValid() const { return m_bValid; }
    bool IsSecure() const { return m_bSecure; }
    const ZymString& Host() const { return m_Host; }
    int Port() const { return m_nPort; }

private:
    bool m_bValid;
    bool m_bSecure;
    ZymString m_Host;
    int m_nPort;
};

#endif
