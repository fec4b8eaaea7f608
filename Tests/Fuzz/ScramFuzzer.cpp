// SCRAM-SHA-256 as any server may answer it: the server's first message (to
// a client whose nonce is fixed) and its final message, separated by the
// first line feed of the input. Checked: a server final is believed only
// after the client could make its proof, and never without the signature
// the password gives (besides the sanitizers' own checks).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ScramClient.h"
#include "SystemCrypto.h"

namespace
{
    // The system's cryptography with PBKDF2 held to a few thousand rounds:
    // the client allows a million, which would make every such input take
    // a second without reaching any other code.
    class BoundedCrypto : public SystemCrypto
    {
    public:
        bool Pbkdf2Sha256(const std::string& password, const std::string& salt,
                          unsigned long nIterations, std::string& key) const override
        {
            return SystemCrypto::Pbkdf2Sha256(password, salt, nIterations > 4096 ? 4096 : nIterations,
                                              key);
        }
    };

    // RFC 7677's exchange: its user, password and client nonce.
    const char kNonce[] = "rOprNGfwEbeRWgbNEkqO";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string input(reinterpret_cast<const char*>(pData), nSize);
    const size_t nBreak = input.find('\n');
    const std::string serverFirst = input.substr(0, nBreak);
    const std::string serverFinal = nBreak == std::string::npos ? std::string() : input.substr(nBreak + 1);

    BoundedCrypto crypto;
    ScramClient client(crypto, "user", "pencil", kNonce);
    client.ClientFirst();
    std::string clientFinal;
    const bool bProof = client.ClientFinal(serverFirst, clientFinal);
    if (client.ServerVerified(serverFinal) && (!bProof || serverFinal.compare(0, 2, "v=") != 0))
    {
        std::fprintf(stderr, "FINDING: a server final believed without a proof: \"%s\"\n", input.c_str());
        std::abort();
    }
    return 0;
}
