#include "StoredName.h"

#include <cstdio>

#include "EntryName.h"

bool StoredEntryName(const char* pStored, size_t nLength, bool bUtf8, std::wstring& name)
{
    if (bUtf8)
        return DecodeUtf8Name(pStored, nLength, name);
    name.clear();
    for (size_t i = 0; i < nLength; ++i)
        name += static_cast<wchar_t>(static_cast<unsigned char>(pStored[i]));
    return !name.empty();
}

namespace
{
    void Append(std::string& out, unsigned long code)
    {
        if (code < 0x80)
        {
            out += static_cast<char>(code);
        }
        else if (code < 0x800)
        {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
        else if (code < 0x10000)
        {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
        else
        {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
}

std::string EncodeUtf8(const std::wstring& units)
{
    std::string out;
    for (size_t i = 0; i < units.size(); ++i)
    {
        unsigned long code = static_cast<unsigned long>(units[i]);
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < units.size())
        {
            const unsigned long low = static_cast<unsigned long>(units[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF)
            {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        Append(out, code);
    }
    return out;
}

std::string Printable(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
    {
        if (c >= 0x20 && c < 0x7F)
        {
            out += static_cast<char>(c);
        }
        else
        {
            char escaped[16];
            std::snprintf(escaped, sizeof escaped, "\\u%04lX", static_cast<unsigned long>(c));
            out += escaped;
        }
    }
    return out;
}
