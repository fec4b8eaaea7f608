#include "EntryName.h"

#include <string.h>

namespace {

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

// Windows drops trailing dots and spaces from a path component, so "..",
// "... " and ". ." all climb one folder; "." alone stays where it is.
bool ClimbsUp(const char* component, size_t length)
{
    size_t dots = 0;
    for (size_t i = 0; i < length; ++i) {
        if (component[i] == '.')
            ++dots;
        else if (component[i] != ' ')
            return false;
    }
    return dots >= 2;
}

// Windows compares device names without regard to case, in ASCII.
bool SameLettersIgnoringCase(const char* text, const char* letters, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != letters[i])
            return false;
    }
    return true;
}

// Windows opens these names as devices in every folder, also with an
// extension ("nul.txt"); an entry so named would be written to the device.
bool NamesDevice(const char* component, size_t length)
{
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    size_t base = 0;
    while (base < length && component[base] != '.')
        ++base;
    while (base > 0 && component[base - 1] == ' ')
        --base;
    for (const char* device : kDevices) {
        if (strlen(device) == base && SameLettersIgnoringCase(component, device, base))
            return true;
    }
    // COM and LPT with a digit 0 to 9, or a superscript one, two or three
    // (0xB9, 0xB2, 0xB3 in code page 1252), which Windows takes as digits.
    if (base != 4 ||
        !(SameLettersIgnoringCase(component, "COM", 3) || SameLettersIgnoringCase(component, "LPT", 3)))
        return false;
    const unsigned char digit = static_cast<unsigned char>(component[3]);
    return (digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

} // namespace

bool IsSafeEntryName(const char* name, size_t storedLength, size_t bufferSize)
{
    if (storedLength >= bufferSize)
        return false;
    if (IsSeparator(name[0]))
        return false;
    if (strchr(name, ':') != nullptr)
        return false;

    const size_t length = strlen(name);
    size_t start = 0;
    for (size_t i = 0; i <= length; ++i) {
        if (i == length || IsSeparator(name[i])) {
            if (ClimbsUp(name + start, i - start) || NamesDevice(name + start, i - start))
                return false;
            start = i + 1;
        }
    }
    return true;
}
