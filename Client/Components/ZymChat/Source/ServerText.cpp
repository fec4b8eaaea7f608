#include "ServerText.h"

#include <cstring>

namespace
{
    const char kSecureScheme[] = "ircs";

    bool IsHostCharacter(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '.' || c == '_';
    }

    bool SchemeIsSecure(const char* pszScheme, size_t nLength)
    {
        if (nLength != sizeof(kSecureScheme) - 1)
            return false;
        for (size_t i = 0; i < nLength; ++i)
        {
            char c = pszScheme[i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            if (c != kSecureScheme[i])
                return false;
        }
        return true;
    }

    // Decimal digits only, 1 to 65535; 0 when the text is none of these.
    int ParsePort(const char* pszText)
    {
        int nPort = 0;
        int nDigits = 0;
        for (const char* p = pszText; *p != '\0'; ++p)
        {
            if (*p < '0' || *p > '9' || ++nDigits > 5)
                return 0;
            nPort = nPort * 10 + (*p - '0');
        }
        return nDigits > 0 && nPort <= 65535 ? nPort : 0;
    }
}

ServerText::ServerText() : m_bValid(false), m_bSecure(false), m_nPort(0)
{
}

bool ServerText::Parse(const char* pszText)
{
    m_bValid = false;
    m_bSecure = false;
    m_Host = ZymString("");
    m_nPort = 0;
    if (pszText == nullptr)
        return false;

    const char* pszHost = pszText;
    bool bSecure = false;
    if (const char* pszSeparator = std::strstr(pszText, "://"))
    {
        if (!SchemeIsSecure(pszText, static_cast<size_t>(pszSeparator - pszText)))
            return false;
        bSecure = true;
        pszHost = pszSeparator + 3;
    }

    size_t nHost = 0;
    while (IsHostCharacter(pszHost[nHost]))
        ++nHost;
    if (nHost == 0 || nHost > static_cast<size_t>(kMaxHostLength))
        return false;

    int nPort = bSecure ? kSecurePort : kPlainPort;
    if (pszHost[nHost] == ':')
    {
        nPort = ParsePort(pszHost + nHost + 1);
        if (nPort == 0)
            return false;
    }
    else if (pszHost[nHost] != '\0')
    {
        return false;
    }

    m_Host = ZymString(pszHost, static_cast<int>(nHost));
    m_nPort = nPort;
    m_bSecure = bSecure;
    m_bValid = true;
    return true;
}
