#ifndef ZYM_SOCKETADDRESS_H
#define ZYM_SOCKETADDRESS_H

#include "SocketCalls.h"
#include "ZymString.h"

// Where a peer is: a host name to resolve, its dotted IPv4 text, or both.
// A plain value, copied member by member.
class SocketAddress
{
public:
    SocketAddress();

    // A text of digits and points becomes the dotted address, anything else
    // the host name; 8801 for an empty text.
    SocketResult SetAddress(const char* pszText);
    // The text becomes the host name and the dotted address is forgotten;
    // 8001 for a null text.
    SocketResult ResetAddress(const char* pszText);
    // Fills a buffer of at least 20 characters, resolving the host name when
    // no dotted address is known yet; "0.0.0.0" on failure.
    SocketResult GetDottedAddress(char* pszBuffer);

    // Longest text GetDottedAddress writes, its terminator included.
    static const int kDottedBufferSize = kDottedTextSize;

    ZymString m_HostName;
    ZymString m_DottedAddress;
    // IPv4 address in network byte order, 0 if none.
    unsigned long m_nAddress;
};

#endif
