#include "Base64.h"

namespace
{
    const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

    int ValueOf(char c)
    {
        if (c >= 'A' && c <= 'Z')
            return c - 'A';
        if (c >= 'a' && c <= 'z')
            return c - 'a' + 26;
        if (c >= '0' && c <= '9')
            return c - '0' + 52;
        if (c == '+')
            return 62;
        if (c == '/')
            return 63;
        return -1;
    }
}

std::string Base64::Encode(const std::string& bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3)
    {
        size_t nTake = bytes.size() - i < 3 ? bytes.size() - i : 3;
        unsigned long nGroup = 0;
        for (size_t j = 0; j < 3; ++j)
            nGroup = (nGroup << 8) | (j < nTake ? static_cast<unsigned char>(bytes[i + j]) : 0u);
        for (size_t j = 0; j < 4; ++j)
            text += j <= nTake ? kAlphabet[(nGroup >> (18 - 6 * j)) & 0x3f] : '=';
    }
    return text;
}

bool Base64::Decode(const std::string& text, std::string& bytes)
{
    bytes.clear();
    if (text.size() % 4 != 0)
        return false;
    for (size_t i = 0; i < text.size(); i += 4)
    {
        bool bLast = i + 4 == text.size();
        size_t nPadding = 0;
        unsigned long nGroup = 0;
        for (size_t j = 0; j < 4; ++j)
        {
            char c = text[i + j];
            // Padding only ends the last group, and only its last one or two
            // characters.
            if (c == '=' && bLast && j >= 2 && (j == 3 || text[i + 3] == '='))
            {
                ++nPadding;
                nGroup <<= 6;
                continue;
            }
            int nValue = ValueOf(c);
            if (nValue < 0 || nPadding > 0)
            {
                bytes.clear();
                return false;
            }
            nGroup = (nGroup << 6) | static_cast<unsigned long>(nValue);
        }
        for (size_t j = 0; j < 3 - nPadding; ++j)
            bytes += static_cast<char>((nGroup >> (16 - 8 * j)) & 0xff);
    }
    return true;
}
