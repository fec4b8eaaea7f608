#ifndef ZYM_SYSTEMCRYPTO_H
#define ZYM_SYSTEMCRYPTO_H

#include "ScramCrypto.h"

// ScramCrypto of the system: BCrypt on Windows (Win32/SystemCrypto.cpp),
// libcrypto elsewhere (Std/SystemCrypto.cpp). Holds no state.
class SystemCrypto : public ScramCrypto
{
public:
    bool Sha256(const std::string& data, std::string& digest) const override;
    bool HmacSha256(const std::string& key, const std::string& data,
                    std::string& mac) const override;
    bool Pbkdf2Sha256(const std::string& password, const std::string& salt,
                      unsigned long nIterations, std::string& key) const override;
    bool RandomBytes(size_t nCount, std::string& bytes) const override;
};

#endif
