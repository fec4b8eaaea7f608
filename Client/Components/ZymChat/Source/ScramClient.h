#ifndef ZYM_SCRAMCLIENT_H
#define ZYM_SCRAMCLIENT_H

#include <string>

class ScramCrypto;

// The client's side of SCRAM-SHA-256 (RFC 5802, RFC 7677) without channel
// binding: three messages, each answering the server's last one. The
// password is used as given (SASLprep of ASCII changes nothing).
class ScramClient
{
public:
    // The crypto must outlive the client. nonce: printable characters
    // without a comma.
    ScramClient(const ScramCrypto& crypto, const std::string& user, const std::string& password,
                const std::string& nonce);

    // "n,,n=user,r=nonce".
    std::string ClientFirst();
    // The client's proof for the server's first message; false when that
    // message is malformed, does not extend our nonce, asks for too many
    // iterations, or the crypto failed.
    bool ClientFinal(const std::string& serverFirst, std::string& clientFinal);
    // Whether the server's last message carries the signature only a
    // server that knows the password can make.
    bool ServerVerified(const std::string& serverFinal) const;

private:
    const ScramCrypto& m_Crypto;
    std::string m_User;
    std::string m_Password;
    std::string m_Nonce;
    std::string m_ClientFirstBare;
    // Known once ClientFinal succeeded.
    std::string m_ServerSignature;
};

#endif
