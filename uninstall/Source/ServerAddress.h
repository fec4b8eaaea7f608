#ifndef UNINSTALL_SERVERADDRESS_H
#define UNINSTALL_SERVERADDRESS_H

#include <string>

// The network address a UNC path's server part names, when it names one by
// number rather than by a name to look up. Windows reaches a server through
// any of many spellings of one address: IPv4 in the forms the resolver of
// numeric hosts takes ("127.1", "2130706433", "0x7f.1", "0177.0.0.1"), IPv6
// compressed, expanded or zero-padded, with a zone or IPv4 inside
// ("::ffff:127.0.0.1"), and IPv6 written as a name under ipv6-literal.net
// ("--1.ipv6-literal.net"), where ':' is written '-' and '%' 's'. Every
// address is held in its IPv6 form, IPv4 mapped into it, so that each
// spelling of one address compares equal.
class ServerAddress
{
public:
    ServerAddress();

    // Reads a server part (any case, without the leading backslashes); false
    // when it is not an address but a name.
    static bool Parse(const std::wstring& server, ServerAddress& address);
    static ServerAddress FromIpv4(const unsigned char bytes[4]);
    static ServerAddress FromIpv6(const unsigned char bytes[16]);

    // Loopback (127.0.0.0/8, ::1, and IPv4 loopback inside IPv6) or the
    // unspecified address: each leads to this machine whatever its adapters.
    bool IsThisMachineByItself() const;
    bool operator==(const ServerAddress& other) const;

private:
    unsigned char m_Bytes[16];
};

#endif
