#include "PathNames.h"

#include <windows.h>

wchar_t FoldCase(wchar_t c)
{
    // The invariant locale's upper case is the one the system applies to
    // names, whatever language the user runs.
    wchar_t upper = c;
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, &c, 1, &upper, 1, nullptr, nullptr, 0) != 1)
        return c;
    return upper;
}
