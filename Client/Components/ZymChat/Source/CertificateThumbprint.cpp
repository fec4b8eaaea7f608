#include "CertificateThumbprint.h"

#include <cstring>

namespace
{
    int HexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }
}

CertificateThumbprint::CertificateThumbprint() : m_Bytes(), m_bSet(false)
{
}

bool CertificateThumbprint::Parse(const char* pszText)
{
    if (pszText == nullptr || pszText[0] == '\0')
    {
        std::memset(m_Bytes, 0, sizeof(m_Bytes));
        m_bSet = false;
        return true;
    }
    unsigned char bytes[kSize];
    int nCount = 0;
    const char* p = pszText;
    // Blanks only between pairs: one copied from a dialog may also carry
    // them at its ends.
    while (*p == ' ')
        ++p;
    while (*p != '\0')
    {
        int nHigh = HexValue(p[0]);
        int nLow = nHigh < 0 ? -1 : HexValue(p[1]);
        if (nLow < 0 || nCount == kSize)
            return false;
        bytes[nCount++] = static_cast<unsigned char>(nHigh * 16 + nLow);
        p += 2;
        while (*p == ' ')
            ++p;
    }
    if (nCount != kSize)
        return false;
    std::memcpy(m_Bytes, bytes, sizeof(m_Bytes));
    m_bSet = true;
    return true;
}

std::string CertificateThumbprint::Text() const
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    if (!m_bSet)
        return text;
    for (unsigned char byte : m_Bytes)
    {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}
