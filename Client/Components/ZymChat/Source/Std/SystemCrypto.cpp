#include "SystemCrypto.h"

#include <climits>

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

namespace
{
    const unsigned char* Bytes(const std::string& text)
    {
        return reinterpret_cast<const unsigned char*>(text.data());
    }
}

bool SystemCrypto::Sha256(const std::string& data, std::string& digest) const
{
    unsigned char out[SHA256_DIGEST_LENGTH];
    if (SHA256(Bytes(data), data.size(), out) == nullptr)
        return false;
    digest.assign(reinterpret_cast<const char*>(out), sizeof(out));
    return true;
}

bool SystemCrypto::HmacSha256(const std::string& key, const std::string& data,
                              std::string& mac) const
{
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int nLength = 0;
    if (key.size() > INT_MAX || HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
                                     Bytes(data), data.size(), out, &nLength) == nullptr)
        return false;
    mac.assign(reinterpret_cast<const char*>(out), nLength);
    return true;
}

bool SystemCrypto::Pbkdf2Sha256(const std::string& password, const std::string& salt,
                                unsigned long nIterations, std::string& key) const
{
    unsigned char out[SHA256_DIGEST_LENGTH];
    if (password.size() > INT_MAX || salt.size() > INT_MAX || nIterations > INT_MAX ||
        PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), Bytes(salt),
                          static_cast<int>(salt.size()), static_cast<int>(nIterations),
                          EVP_sha256(), sizeof(out), out) != 1)
        return false;
    key.assign(reinterpret_cast<const char*>(out), sizeof(out));
    return true;
}

bool SystemCrypto::RandomBytes(size_t nCount, std::string& bytes) const
{
    bytes.assign(nCount, '\0');
    return nCount <= INT_MAX &&
           RAND_bytes(reinterpret_cast<unsigned char*>(&bytes[0]), static_cast<int>(nCount)) == 1;
}
