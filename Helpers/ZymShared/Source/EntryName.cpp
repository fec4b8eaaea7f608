#include "EntryName.h"

#include "PathNames.h"

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'/' || c == L'\\';
}

// Windows drops trailing dots and spaces from a path component, so "..",
// "... " and ". ." all climb one folder; "." alone stays where it is.
bool ClimbsUp(const wchar_t* component, size_t length)
{
    size_t dots = 0;
    for (size_t i = 0; i < length; ++i) {
        if (component[i] == L'.')
            ++dots;
        else if (component[i] != L' ')
            return false;
    }
    return dots >= 2;
}

void AppendUtf16(std::wstring& out, unsigned long code)
{
    if (code < 0x10000) {
        out += static_cast<wchar_t>(code);
        return;
    }
    code -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (code >> 10));
    out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
}

} // namespace

bool IsSafeEntryName(const std::wstring& name)
{
    if (name.empty() || IsSeparator(name[0]))
        return false;
    if (name.find(L':') != std::wstring::npos || name.find(L'\0') != std::wstring::npos)
        return false;
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i == name.size() || IsSeparator(name[i])) {
            if (ClimbsUp(name.c_str() + start, i - start) || NamesDevice(name.c_str() + start, i - start))
                return false;
            start = i + 1;
        }
    }
    return true;
}

bool DecodeUtf8Name(const char* bytes, size_t length, std::wstring& name)
{
    name.clear();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    size_t i = 0;
    while (i < length) {
        const unsigned char lead = p[i];
        unsigned long code = 0;
        size_t extra = 0;
        unsigned long minimum = 0;
        if (lead == 0)
            return false;
        if (lead < 0x80) {
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            code = lead & 0x1F;
            extra = 1;
            minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            code = lead & 0x0F;
            extra = 2;
            minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            code = lead & 0x07;
            extra = 3;
            minimum = 0x10000;
        } else {
            return false;
        }
        if (length - i - 1 < extra)
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            const unsigned char next = p[i + k];
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        AppendUtf16(name, code);
        i += extra + 1;
    }
    return true;
}
