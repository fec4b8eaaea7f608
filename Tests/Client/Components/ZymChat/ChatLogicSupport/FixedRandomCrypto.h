#ifndef ZYM_TESTS_FIXEDRANDOMCRYPTO_H
#define ZYM_TESTS_FIXEDRANDOMCRYPTO_H

#include <string>

#include "SystemCrypto.h"

// The system's cryptography with random bytes a test chooses, so that a
// SCRAM exchange can follow a published one to the byte.
class FixedRandomCrypto : public SystemCrypto
{
public:
    void Fix(const std::string& bytes) { m_Fixed = bytes; }

    bool RandomBytes(size_t nCount, std::string& bytes) const override
    {
        if (m_Fixed.empty())
            return SystemCrypto::RandomBytes(nCount, bytes);
        bytes = m_Fixed;
        return true;
    }

private:
    std::string m_Fixed;
};

#endif
