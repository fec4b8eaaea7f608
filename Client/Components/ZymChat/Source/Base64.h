#ifndef ZYM_BASE64_H
#define ZYM_BASE64_H

#include <string>

// The base64 of RFC 4648 with padding, as SASL and SCRAM carry bytes.
class Base64
{
public:
    static std::string Encode(const std::string& bytes);
    // False for a text that is not padded base64 (any other character, a
    // length not a multiple of four, padding inside); bytes is then empty.
    static bool Decode(const std::string& text, std::string& bytes);
};

#endif
