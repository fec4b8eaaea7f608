#include "SaslLogin.h"

#include <cstring>

#include "Base64.h"
#include "ExtendedChatComponent.h"
#include "ScramCrypto.h"

namespace
{
    // IRCv3 SASL: a message is sent in chunks of this many characters, and
    // one shorter (or "+") ends it.
    const size_t kChunkSize = 400;
    // A server's message longer than this is no SASL answer of ours.
    const size_t kLongestMessage = 8192;

    bool Usable(const char* pszText)
    {
        return pszText != nullptr && pszText[0] != '\0' && std::strpbrk(pszText, "\r\n") == nullptr;
    }

    bool Empty(const char* pszText) { return pszText == nullptr || pszText[0] == '\0'; }
}

SaslLogin::SaslLogin(const ScramCrypto& crypto)
    : m_Crypto(crypto),
      m_Mechanism(Mechanism::None),
      m_nFlags(0),
      m_ExchangeMechanism(Mechanism::None),
      m_bMessageBad(false),
      m_nStep(0),
      m_bServerProved(false)
{
}

SaslLogin::~SaslLogin() = default;

bool SaslLogin::Configure(const char* pszMechanism, const char* pszAccount,
                          const char* pszPassword, int nFlags)
{
    if (pszMechanism == nullptr)
    {
        m_Mechanism = Mechanism::None;
        m_Account.clear();
        m_Password.clear();
        m_nFlags = 0;
        m_ExchangeMechanism = Mechanism::None;
        m_ExchangeAccount.clear();
        m_ExchangePassword.clear();
        m_pScram.reset();
        return true;
    }
    Mechanism mechanism;
    if (std::strcmp(pszMechanism, "PLAIN") == 0)
        mechanism = Mechanism::Plain;
    else if (std::strcmp(pszMechanism, "SCRAM-SHA-256") == 0)
        mechanism = Mechanism::ScramSha256;
    else if (std::strcmp(pszMechanism, "EXTERNAL") == 0)
        mechanism = Mechanism::External;
    else
        return false;
    if (mechanism == Mechanism::External)
    {
        if ((!Empty(pszAccount) && !Usable(pszAccount)) || !Empty(pszPassword))
            return false;
    }
    else if (!Usable(pszAccount) || !Usable(pszPassword))
        return false;
    m_Mechanism = mechanism;
    m_Account = pszAccount != nullptr ? pszAccount : "";
    m_Password = pszPassword != nullptr ? pszPassword : "";
    m_nFlags = nFlags;
    return true;
}

bool SaslLogin::Required() const
{
    return Configured() && (m_nFlags & SASL_LOGIN_REQUIRED) != 0;
}

bool SaslLogin::UsableOver(bool bSecureLink, bool bClientCertificate) const
{
    if (m_Mechanism == Mechanism::External)
        return bSecureLink && bClientCertificate;
    return bSecureLink || (m_nFlags & SASL_LOGIN_ALLOW_PLAINTEXT) != 0;
}

const char* SaslLogin::MechanismName() const
{
    switch (m_Mechanism)
    {
    case Mechanism::ScramSha256:
        return "SCRAM-SHA-256";
    case Mechanism::External:
        return "EXTERNAL";
    default:
        return "PLAIN";
    }
}

bool SaslLogin::OfferedIn(const std::string& mechanisms) const
{
    if (mechanisms.empty())
        return true;
    const std::string name = MechanismName();
    size_t nAt = 0;
    while (nAt <= mechanisms.size())
    {
        size_t nEnd = mechanisms.find(',', nAt);
        if (nEnd == std::string::npos)
            nEnd = mechanisms.size();
        if (mechanisms.compare(nAt, nEnd - nAt, name) == 0)
            return true;
        nAt = nEnd + 1;
    }
    return false;
}

bool SaslLogin::Begin()
{
    m_Message.clear();
    m_bMessageBad = false;
    m_nStep = 0;
    m_bServerProved = false;
    m_ExchangeMechanism = m_Mechanism;
    m_ExchangeAccount = m_Account;
    m_ExchangePassword = m_Password;
    m_pScram.reset();
    if (m_Mechanism != Mechanism::ScramSha256)
        return true;
    std::string random;
    if (!m_Crypto.RandomBytes(18, random))
        return false;
    // Base64 holds no comma, so it is a valid nonce as it stands.
    m_pScram.reset(new ScramClient(m_Crypto, m_Account, m_Password, Base64::Encode(random)));
    return true;
}

bool SaslLogin::AddChunk(const std::string& chunk)
{
    if (chunk != "+")
        m_Message += chunk;
    // A message already too long is answered (and aborted) at once rather
    // than gathered for as long as the server goes on sending.
    if (m_Message.size() > kLongestMessage)
        m_bMessageBad = true;
    return m_bMessageBad || chunk.size() < kChunkSize;
}

bool SaslLogin::Answer(std::string& response)
{
    std::string encoded;
    encoded.swap(m_Message);
    std::string message;
    bool bDecoded = !m_bMessageBad && Base64::Decode(encoded, message);
    m_bMessageBad = false;
    int nStep = m_nStep++;
    if (!bDecoded)
        return false;

    if (m_ExchangeMechanism == Mechanism::Plain)
    {
        // RFC 4616: authorisation identity, authentication identity,
        // password. One answer to the server's empty message.
        if (nStep != 0 || !message.empty())
            return false;
        response = m_ExchangeAccount + '\0' + m_ExchangeAccount + '\0' + m_ExchangePassword;
        m_bServerProved = true;
        return true;
    }
    if (m_ExchangeMechanism == Mechanism::External)
    {
        // RFC 4422 appendix A: the authorisation identity alone; empty (sent
        // as "+") lets the server take the one the certificate names.
        if (nStep != 0 || !message.empty())
            return false;
        response = m_ExchangeAccount;
        m_bServerProved = true;
        return true;
    }
    if (m_ExchangeMechanism != Mechanism::ScramSha256 || m_pScram == nullptr)
        return false;
    switch (nStep)
    {
    case 0:
        response = m_pScram->ClientFirst();
        return message.empty();
    case 1:
        return m_pScram->ClientFinal(message, response);
    case 2:
        // The exchange ends with an empty answer once the server proved
        // itself.
        m_bServerProved = m_pScram->ServerVerified(message);
        response.clear();
        return m_bServerProved;
    default:
        return false;
    }
}

bool SaslLogin::ServerProved() const
{
    return m_bServerProved;
}
