#include "ScramClient.h"

#include <cstdlib>

#include "Base64.h"
#include "ScramCrypto.h"

namespace
{
    // RFC 7677 asks for at least 4096; a server asking for more than this
    // would hold the connection's thread for seconds.
    const unsigned long kMostIterations = 1000000;

    // "=" and "," are written =3D and =2C in a name (RFC 5802, 5.1).
    std::string SaslName(const std::string& name)
    {
        std::string escaped;
        for (char c : name)
        {
            if (c == '=')
                escaped += "=3D";
            else if (c == ',')
                escaped += "=2C";
            else
                escaped += c;
        }
        return escaped;
    }

    std::string Xor(const std::string& a, const std::string& b)
    {
        std::string result(a);
        for (size_t i = 0; i < result.size() && i < b.size(); ++i)
            result[i] = static_cast<char>(result[i] ^ b[i]);
        return result;
    }

    struct ServerFirst
    {
        std::string m_Nonce;
        std::string m_Salt;
        unsigned long m_nIterations = 0;
    };

    // The value of the attribute "key=" at nAt, which then moves past it;
    // false when another attribute stands there.
    bool Attribute(const std::string& text, size_t& nAt, char key, std::string& value)
    {
        if (nAt + 2 > text.size() || text[nAt] != key || text[nAt + 1] != '=')
            return false;
        size_t nEnd = text.find(',', nAt);
        value = text.substr(nAt + 2, nEnd == std::string::npos ? std::string::npos : nEnd - nAt - 2);
        nAt = nEnd == std::string::npos ? text.size() : nEnd + 1;
        return true;
    }

    bool ParseServerFirst(const std::string& text, ServerFirst& parsed)
    {
        size_t nAt = 0;
        std::string salt64;
        std::string iterations;
        if (!Attribute(text, nAt, 'r', parsed.m_Nonce) || !Attribute(text, nAt, 's', salt64) ||
            !Attribute(text, nAt, 'i', iterations) || !Base64::Decode(salt64, parsed.m_Salt) ||
            parsed.m_Salt.empty() || iterations.empty() || iterations.size() > 9 ||
            iterations.find_first_not_of("0123456789") != std::string::npos)
            return false;
        parsed.m_nIterations = std::strtoul(iterations.c_str(), nullptr, 10);
        return parsed.m_nIterations > 0 && parsed.m_nIterations <= kMostIterations;
    }
}

ScramClient::ScramClient(const ScramCrypto& crypto, const std::string& user,
                         const std::string& password, const std::string& nonce)
    : m_Crypto(crypto), m_User(user), m_Password(password), m_Nonce(nonce)
{
}

std::string ScramClient::ClientFirst()
{
    m_ClientFirstBare = "n=" + SaslName(m_User) + ",r=" + m_Nonce;
    return "n,," + m_ClientFirstBare;
}

bool ScramClient::ClientFinal(const std::string& serverFirst, std::string& clientFinal)
{
    ServerFirst parsed;
    // The server's nonce extends ours by at least one character.
    if (m_ClientFirstBare.empty() || !ParseServerFirst(serverFirst, parsed) ||
        parsed.m_Nonce.size() <= m_Nonce.size() ||
        parsed.m_Nonce.compare(0, m_Nonce.size(), m_Nonce) != 0)
        return false;

    // "biws" is base64 of "n,,": no channel binding.
    std::string withoutProof = "c=biws,r=" + parsed.m_Nonce;
    std::string authMessage = m_ClientFirstBare + "," + serverFirst + "," + withoutProof;
    std::string salted, clientKey, storedKey, clientSignature, serverKey;
    if (!m_Crypto.Pbkdf2Sha256(m_Password, parsed.m_Salt, parsed.m_nIterations, salted) ||
        !m_Crypto.HmacSha256(salted, "Client Key", clientKey) ||
        !m_Crypto.Sha256(clientKey, storedKey) ||
        !m_Crypto.HmacSha256(storedKey, authMessage, clientSignature) ||
        !m_Crypto.HmacSha256(salted, "Server Key", serverKey) ||
        !m_Crypto.HmacSha256(serverKey, authMessage, m_ServerSignature))
    {
        m_ServerSignature.clear();
        return false;
    }
    clientFinal = withoutProof + ",p=" + Base64::Encode(Xor(clientKey, clientSignature));
    return true;
}

bool ScramClient::ServerVerified(const std::string& serverFinal) const
{
    size_t nAt = 0;
    std::string signature64;
    std::string signature;
    if (m_ServerSignature.empty() || !Attribute(serverFinal, nAt, 'v', signature64) ||
        !Base64::Decode(signature64, signature) || signature.size() != m_ServerSignature.size())
        return false;
    // Compared in full whatever differs first.
    unsigned char nDifference = 0;
    for (size_t i = 0; i < signature.size(); ++i)
        nDifference |= static_cast<unsigned char>(signature[i] ^ m_ServerSignature[i]);
    return nDifference == 0;
}
