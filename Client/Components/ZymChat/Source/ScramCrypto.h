#ifndef ZYM_SCRAMCRYPTO_H
#define ZYM_SCRAMCRYPTO_H

#include <cstddef>
#include <string>

// The cryptography SCRAM-SHA-256 needs, from the system. Strings hold bytes.
// Each operation is false when the system could not do it; its output is
// then unusable.
class ScramCrypto
{
public:
    virtual ~ScramCrypto() {}
    virtual bool Sha256(const std::string& data, std::string& digest) const = 0;
    virtual bool HmacSha256(const std::string& key, const std::string& data,
                            std::string& mac) const = 0;
    // PBKDF2 with HMAC-SHA-256, one block of 32 bytes (RFC 5802's Hi).
    virtual bool Pbkdf2Sha256(const std::string& password, const std::string& salt,
                              unsigned long nIterations, std::string& key) const = 0;
    // Bytes from the system's random generator, for a nonce.
    virtual bool RandomBytes(size_t nCount, std::string& bytes) const = 0;
};

#endif
