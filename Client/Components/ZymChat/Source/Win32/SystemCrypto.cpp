#include "SystemCrypto.h"

#include <windows.h>

#include <bcrypt.h>

namespace
{
    bool Succeeded(NTSTATUS nStatus)
    {
        return nStatus >= 0;
    }

    PUCHAR Bytes(const std::string& text)
    {
        return reinterpret_cast<PUCHAR>(const_cast<char*>(text.data()));
    }

    // One algorithm provider, closed on every path.
    class Algorithm
    {
    public:
        Algorithm(LPCWSTR pszName, ULONG nFlags) : m_hAlgorithm(nullptr)
        {
            if (!Succeeded(BCryptOpenAlgorithmProvider(&m_hAlgorithm, pszName, nullptr, nFlags)))
                m_hAlgorithm = nullptr;
        }
        ~Algorithm()
        {
            if (m_hAlgorithm != nullptr)
                BCryptCloseAlgorithmProvider(m_hAlgorithm, 0);
        }
        Algorithm(const Algorithm&) = delete;
        Algorithm& operator=(const Algorithm&) = delete;

        BCRYPT_ALG_HANDLE Handle() const { return m_hAlgorithm; }

    private:
        BCRYPT_ALG_HANDLE m_hAlgorithm;
    };

    // One hash object, destroyed on every path.
    class Hash
    {
    public:
        Hash(const Algorithm& algorithm, const std::string& key) : m_hHash(nullptr)
        {
            if (algorithm.Handle() == nullptr ||
                !Succeeded(BCryptCreateHash(algorithm.Handle(), &m_hHash, nullptr, 0,
                                            key.empty() ? nullptr : Bytes(key),
                                            static_cast<ULONG>(key.size()), 0)))
                m_hHash = nullptr;
        }
        ~Hash()
        {
            if (m_hHash != nullptr)
                BCryptDestroyHash(m_hHash);
        }
        Hash(const Hash&) = delete;
        Hash& operator=(const Hash&) = delete;

        bool Digest(const std::string& data, std::string& digest)
        {
            const ULONG kSize = 32;
            digest.assign(kSize, '\0');
            return m_hHash != nullptr &&
                   Succeeded(BCryptHashData(m_hHash, Bytes(data), static_cast<ULONG>(data.size()),
                                            0)) &&
                   Succeeded(BCryptFinishHash(m_hHash, Bytes(digest), kSize, 0));
        }

    private:
        BCRYPT_HASH_HANDLE m_hHash;
    };
}

bool SystemCrypto::Sha256(const std::string& data, std::string& digest) const
{
    Algorithm algorithm(BCRYPT_SHA256_ALGORITHM, 0);
    Hash hash(algorithm, std::string());
    return hash.Digest(data, digest);
}

bool SystemCrypto::HmacSha256(const std::string& key, const std::string& data,
                              std::string& mac) const
{
    // BCrypt takes no empty HMAC key; SCRAM never uses one.
    if (key.empty())
        return false;
    Algorithm algorithm(BCRYPT_SHA256_ALGORITHM, BCRYPT_ALG_HANDLE_HMAC_FLAG);
    Hash hash(algorithm, key);
    return hash.Digest(data, mac);
}

bool SystemCrypto::Pbkdf2Sha256(const std::string& password, const std::string& salt,
                                unsigned long nIterations, std::string& key) const
{
    Algorithm algorithm(BCRYPT_SHA256_ALGORITHM, BCRYPT_ALG_HANDLE_HMAC_FLAG);
    if (algorithm.Handle() == nullptr)
        return false;
    key.assign(32, '\0');
    return Succeeded(BCryptDeriveKeyPBKDF2(algorithm.Handle(), Bytes(password),
                                           static_cast<ULONG>(password.size()), Bytes(salt),
                                           static_cast<ULONG>(salt.size()), nIterations,
                                           Bytes(key), static_cast<ULONG>(key.size()), 0));
}

bool SystemCrypto::RandomBytes(size_t nCount, std::string& bytes) const
{
    bytes.assign(nCount, '\0');
    return Succeeded(BCryptGenRandom(nullptr, Bytes(bytes), static_cast<ULONG>(nCount),
                                     BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}
