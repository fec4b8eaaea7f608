#ifndef ZYM_SASLLOGIN_H
#define ZYM_SASLLOGIN_H

#include <memory>
#include <string>

#include "ScramClient.h"

class ScramCrypto;

// The SASL login the host asked for, and the progress of one exchange of
// it: what to answer to each of the server's AUTHENTICATE messages.
class SaslLogin
{
public:
    enum class Mechanism
    {
        None,
        Plain,
        ScramSha256,
        // The client certificate of the TLS connection is the proof; the
        // account, if any, is only the identity to act as.
        External
    };

    explicit SaslLogin(const ScramCrypto& crypto);
    ~SaslLogin();

    // False, changing nothing, for an unknown mechanism name or an unusable
    // account or password (EXTERNAL: an account that may be empty, and no
    // password). A null name clears the login and ends the exchange under
    // way, whose next answer then aborts it; another login leaves the
    // exchange under way as it began.
    bool Configure(const char* pszMechanism, const char* pszAccount, const char* pszPassword,
                   int nFlags);
    bool Configured() const { return m_Mechanism != Mechanism::None; }
    bool Required() const;
    // Whether the login may go over a connection: a password only over TLS
    // unless plaintext was allowed; EXTERNAL only over TLS with a client
    // certificate, which is all it proves.
    bool UsableOver(bool bSecureLink, bool bClientCertificate) const;
    // "PLAIN", "SCRAM-SHA-256" or "EXTERNAL".
    const char* MechanismName() const;
    // Whether the server's value of the "sasl" capability (a comma list of
    // mechanisms, or empty when it names none) allows ours.
    bool OfferedIn(const std::string& mechanisms) const;

    // A new exchange; false when no nonce could be made.
    bool Begin();
    // One AUTHENTICATE parameter of the server; true once the message is
    // whole (a chunk shorter than 400 characters ends it) or too long to
    // be one of ours.
    bool AddChunk(const std::string& chunk);
    // The answer to the message gathered: false to abort the exchange (a
    // malformed message, a server signature that does not match).
    bool Answer(std::string& response);
    // The exchange has come to its end on our side, so a success may be
    // believed: PLAIN's or EXTERNAL's answer went out (they have no proof),
    // or the SCRAM server proved it knows the password.
    bool ServerProved() const;

private:
    const ScramCrypto& m_Crypto;
    Mechanism m_Mechanism;
    std::string m_Account;
    std::string m_Password;
    int m_nFlags;

    // The exchange under way, with the login it began with.
    Mechanism m_ExchangeMechanism;
    std::string m_ExchangeAccount;
    std::string m_ExchangePassword;
    std::string m_Message;
    bool m_bMessageBad;
    int m_nStep;
    bool m_bServerProved;
    std::unique_ptr<ScramClient> m_pScram;
};

#endif
