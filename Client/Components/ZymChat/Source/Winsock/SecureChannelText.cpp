#include "SecureChannelText.h"

#include <cstdio>

namespace
{
    struct Name
    {
        unsigned long nCode;
        const char* pszName;
    };

    const Name kProtocols[] = {
        {SP_PROT_TLS1_3_CLIENT, "TLS 1.3"}, {SP_PROT_TLS1_2_CLIENT, "TLS 1.2"},
        {SP_PROT_TLS1_1_CLIENT, "TLS 1.1"}, {SP_PROT_TLS1_0_CLIENT, "TLS 1.0"},
        {SP_PROT_SSL3_CLIENT, "SSL 3.0"},
    };
    const Name kAlgorithms[] = {
        {CALG_AES_128, "AES"},     {CALG_AES_192, "AES"},       {CALG_AES_256, "AES"},
        {CALG_3DES, "3DES"},       {CALG_RC4, "RC4"},           {CALG_DES, "DES"},
        {CALG_SHA1, "SHA-1"},      {CALG_SHA_256, "SHA-256"},   {CALG_SHA_384, "SHA-384"},
        {CALG_SHA_512, "SHA-512"}, {CALG_MD5, "MD5"},           {CALG_ECDH, "ECDH"},
        {CALG_ECDH_EPHEM, "ECDHE"}, {CALG_DH_EPHEM, "DHE"},     {CALG_RSA_KEYX, "RSA"},
    };

    // The name of the first entry whose code has all its bits in nCode (a
    // protocol field may hold the client and the server bit).
    template <size_t N>
    const char* Lookup(const Name (&names)[N], unsigned long nCode, bool bBits)
    {
        for (const Name& name : names)
        {
            if (bBits ? (nCode & name.nCode) != 0 : nCode == name.nCode)
                return name.pszName;
        }
        return nullptr;
    }

    void Append(char* pszText, size_t nSize, const char* pszLabel, const char* pszName,
                unsigned long nCode)
    {
        size_t nUsed = 0;
        while (nUsed < nSize && pszText[nUsed] != '\0')
            ++nUsed;
        if (pszName != nullptr)
            std::snprintf(pszText + nUsed, nSize - nUsed, "%s%s", pszLabel, pszName);
        else
            std::snprintf(pszText + nUsed, nSize - nUsed, "%s0x%lx", pszLabel, nCode);
    }
}

ZymString DescribeSecureChannel(const SecPkgContext_ConnectionInfo& info)
{
    char text[200] = "";
    Append(text, sizeof(text), "", Lookup(kProtocols, info.dwProtocol, true), info.dwProtocol);
    Append(text, sizeof(text), ", cipher ", Lookup(kAlgorithms, info.aiCipher, false),
           info.aiCipher);
    char strength[24];
    std::snprintf(strength, sizeof(strength), " %lu-bit",
                  static_cast<unsigned long>(info.dwCipherStrength));
    Append(text, sizeof(text), "", strength, 0);
    if (info.aiHash != 0)
        Append(text, sizeof(text), ", hash ", Lookup(kAlgorithms, info.aiHash, false), info.aiHash);
    Append(text, sizeof(text), ", key exchange ", Lookup(kAlgorithms, info.aiExch, false),
           info.aiExch);
    return ZymString(text);
}
