#include "SocketAddress.h"

#include <cstring>

#include "SocketCalls.h"
#include "SocketResults.h"

namespace
{
    const char kNoAddress[] = "0.0.0.0";

    bool IsDottedText(const char* pszText)
    {
        for (const char* p = pszText; *p != '\0'; ++p)
        {
            if (!((*p >= '0' && *p <= '9') || *p == '.'))
                return false;
        }
        return true;
    }
}

SocketAddress::SocketAddress() : m_nAddress(0)
{
}

SocketResult SocketAddress::SetAddress(const char* pszText)
{
    if (pszText == nullptr || *pszText == '\0')
        return ZymSocketCreateFailed;
    if (IsDottedText(pszText))
    {
        m_DottedAddress = ZymString(pszText);
        unsigned long nAddress = 0;
        if (TextToAddress(pszText, &nAddress) == ZymSocketOk)
            m_nAddress = nAddress;
    }
    else
    {
        // Forgetting the old dotted text makes GetDottedAddress resolve the
        // new name.
        m_HostName = ZymString(pszText);
        m_DottedAddress = ZymString();
        m_nAddress = 0;
    }
    return ZymSocketOk;
}

SocketResult SocketAddress::ResetAddress(const char* pszText)
{
    if (pszText == nullptr)
        return ZymNullArgument;
    m_HostName = ZymString(pszText);
    m_DottedAddress = ZymString();
    m_nAddress = 0;
    return ZymSocketOk;
}

SocketResult SocketAddress::GetDottedAddress(char* pszBuffer)
{
    if (pszBuffer == nullptr)
        return ZymNullArgument;
    if (m_DottedAddress.Length() > 0)
    {
        // No IPv4 address is written with more than 15 characters; a longer
        // text of digits and points is refused before it can overrun.
        if (m_DottedAddress.Length() >= kDottedBufferSize)
        {
            std::strcpy(pszBuffer, kNoAddress);
            return ZymAddressTooLong;
        }
        std::strcpy(pszBuffer, m_DottedAddress.Text());
        return ZymSocketOk;
    }
    if (m_HostName.Length() == 0)
    {
        std::strcpy(pszBuffer, kNoAddress);
        return ZymNoAddressKnown;
    }
    unsigned long nAddress = 0;
    SocketResult nResult = ResolveHostName(m_HostName.Text(), &nAddress);
    char szText[kDottedBufferSize];
    if (nResult == ZymSocketOk)
        nResult = AddressToText(nAddress, szText);
    if (nResult != ZymSocketOk)
    {
        std::strcpy(pszBuffer, kNoAddress);
        return nResult;
    }
    m_DottedAddress = ZymString(szText);
    m_nAddress = nAddress;
    std::strcpy(pszBuffer, szText);
    return ZymSocketOk;
}
