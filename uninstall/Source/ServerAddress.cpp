#include "ServerAddress.h"

#include <string.h>
#include <wchar.h>

#include <vector>

namespace
{
const unsigned char kMappedPrefix[12] = { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF };
const unsigned char kZeroPrefix[12] = { 0 };

bool EndsWith(const std::wstring& text, const wchar_t* tail)
{
    const size_t length = wcslen(tail);
    if (text.size() < length)
        return false;
    for (size_t i = 0; i < length; ++i)
    {
        wchar_t c = text[text.size() - length + i];
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c + (L'a' - L'A'));
        if (c != tail[i])
            return false;
    }
    return true;
}

int DigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// One part of a numeric IPv4 host: decimal, octal after a leading zero,
// hexadecimal after "0x"; false past 32 bits or on a digit of no base.
bool ParseIpv4Part(const std::wstring& part, unsigned long long& value)
{
    if (part.empty())
        return false;
    unsigned base = 10;
    size_t at = 0;
    if (part.size() >= 2 && part[0] == L'0' && (part[1] == L'x' || part[1] == L'X'))
    {
        base = 16;
        at = 2;
    }
    else if (part.size() >= 2 && part[0] == L'0')
    {
        base = 8;
        at = 1;
    }
    value = 0;
    for (; at < part.size(); ++at)
    {
        const int digit = DigitValue(part[at]);
        if (digit < 0 || static_cast<unsigned>(digit) >= base)
            return false;
        value = value * base + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFull)
            return false;
    }
    return true;
}

// One group of IPv6: hexadecimal, leading zeros allowed beyond four digits.
bool ParseIpv6Group(const std::wstring& group, unsigned& value)
{
    if (group.empty())
        return false;
    value = 0;
    for (wchar_t c : group)
    {
        const int digit = DigitValue(c);
        if (digit < 0)
            return false;
        value = value * 16 + static_cast<unsigned>(digit);
        if (value > 0xFFFF)
            return false;
    }
    return true;
}

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;)
    {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos)
            return parts;
        start = end + 1;
    }
}

// A numeric IPv4 host as the resolver reads it: one to four parts, the
// last filling the bytes the others leave ("127.1" is 127.0.0.1).
bool ParseIpv4(const std::wstring& text, unsigned char bytes[4])
{
    const std::vector<std::wstring> parts = Split(text, L'.');
    if (parts.size() > 4)
        return false;
    unsigned long long values[4] = { 0, 0, 0, 0 };
    for (size_t i = 0; i < parts.size(); ++i)
        if (!ParseIpv4Part(parts[i], values[i]) || (i + 1 < parts.size() && values[i] > 0xFF))
            return false;
    const size_t lastBytes = 4 - (parts.size() - 1);
    const unsigned long long last = values[parts.size() - 1];
    if (lastBytes < 4 && last >> (8 * lastBytes) != 0)
        return false;
    for (size_t i = 0; i + 1 < parts.size(); ++i)
        bytes[i] = static_cast<unsigned char>(values[i]);
    for (size_t i = 0; i < lastBytes; ++i)
        bytes[3 - i] = static_cast<unsigned char>(last >> (8 * i));
    return true;
}

// Groups of one side of "::" as 16-bit values; the very last may be an
// IPv4 address, which counts as two.
bool ParseGroups(const std::wstring& text, bool mayEndInIpv4, std::vector<unsigned>& groups)
{
    if (text.empty())
        return true;
    const std::vector<std::wstring> parts = Split(text, L':');
    for (size_t i = 0; i < parts.size(); ++i)
    {
        if (mayEndInIpv4 && i + 1 == parts.size() && parts[i].find(L'.') != std::wstring::npos)
        {
            unsigned char ipv4[4];
            if (!ParseIpv4(parts[i], ipv4))
                return false;
            groups.push_back(static_cast<unsigned>(ipv4[0] << 8 | ipv4[1]));
            groups.push_back(static_cast<unsigned>(ipv4[2] << 8 | ipv4[3]));
            return true;
        }
        unsigned value = 0;
        if (!ParseIpv6Group(parts[i], value))
            return false;
        groups.push_back(value);
    }
    return true;
}

bool ParseIpv6(const std::wstring& address, unsigned char bytes[16])
{
    // A zone names the adapter, not the address.
    const std::wstring text = address.substr(0, address.find(L'%'));
    const size_t gap = text.find(L"::");
    std::vector<unsigned> head;
    std::vector<unsigned> tail;
    if (gap == std::wstring::npos)
    {
        if (!ParseGroups(text, true, head) || head.size() != 8)
            return false;
    }
    else
    {
        if (text.find(L"::", gap + 1) != std::wstring::npos || !ParseGroups(text.substr(0, gap), false, head)
            || !ParseGroups(text.substr(gap + 2), true, tail) || head.size() + tail.size() > 8)
            return false;
    }
    std::vector<unsigned> groups(head);
    groups.resize(8 - tail.size(), 0);
    groups.insert(groups.end(), tail.begin(), tail.end());
    for (size_t i = 0; i < 8; ++i)
    {
        bytes[2 * i] = static_cast<unsigned char>(groups[i] >> 8);
        bytes[2 * i + 1] = static_cast<unsigned char>(groups[i] & 0xFF);
    }
    return true;
}
}

ServerAddress::ServerAddress()
{
    memset(m_Bytes, 0, sizeof m_Bytes);
}

ServerAddress ServerAddress::FromIpv4(const unsigned char bytes[4])
{
    ServerAddress address;
    memcpy(address.m_Bytes, kMappedPrefix, sizeof kMappedPrefix);
    memcpy(address.m_Bytes + 12, bytes, 4);
    return address;
}

ServerAddress ServerAddress::FromIpv6(const unsigned char bytes[16])
{
    ServerAddress address;
    memcpy(address.m_Bytes, bytes, sizeof address.m_Bytes);
    return address;
}

bool ServerAddress::Parse(const std::wstring& server, ServerAddress& address)
{
    // "host@SSL@443" and "host@8080" reach a WebDAV server on that host.
    std::wstring text = server.substr(0, server.find(L'@'));
    unsigned char bytes[16];
    if (EndsWith(text, L".ipv6-literal.net"))
    {
        text.resize(text.size() - wcslen(L".ipv6-literal.net"));
        for (wchar_t& c : text)
        {
            if (c == L'-')
                c = L':';
            else if (c == L's' || c == L'S')
                c = L'%';
        }
    }
    else if (text.size() >= 2 && text.front() == L'[' && text.back() == L']')
    {
        text = text.substr(1, text.size() - 2);
    }
    if (text.find(L':') != std::wstring::npos)
    {
        if (!ParseIpv6(text, bytes))
            return false;
        address = FromIpv6(bytes);
        return true;
    }
    if (!ParseIpv4(text, bytes))
        return false;
    address = FromIpv4(bytes);
    return true;
}

bool ServerAddress::IsThisMachineByItself() const
{
    static const unsigned char kLoopback[16] = { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1 };
    static const unsigned char kUnspecified[16] = { 0 };
    if (memcmp(m_Bytes, kLoopback, 16) == 0 || memcmp(m_Bytes, kUnspecified, 16) == 0)
        return true;
    // 127.0.0.0/8 and 0.0.0.0, mapped into IPv6 or in the old compatible
    // form ("::127.0.0.1").
    const bool ipv4Inside = memcmp(m_Bytes, kMappedPrefix, 12) == 0 || memcmp(m_Bytes, kZeroPrefix, 12) == 0;
    const unsigned char zero[4] = { 0, 0, 0, 0 };
    return ipv4Inside && (m_Bytes[12] == 127 || memcmp(m_Bytes + 12, zero, 4) == 0);
}

bool ServerAddress::operator==(const ServerAddress& other) const
{
    return memcmp(m_Bytes, other.m_Bytes, sizeof m_Bytes) == 0;
}
