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
            if (ClimbsUp(name + start, i - start))
                return false;
            start = i + 1;
        }
    }
    return true;
}
