#ifndef ZYM_PATHNAMES_H
#define ZYM_PATHNAMES_H

#include <stddef.h>

// The upper-case form of a character as path comparisons need it: ASCII and
// Latin-1 letters; every other character stays as it is.
wchar_t FoldCase(wchar_t c);

// Whether one step of a path (no separators) names a device that Windows
// opens in every folder, also with an extension or trailing blanks: CON,
// PRN, AUX, NUL, CONIN$, CONOUT$, COM0 to COM9 and LPT0 to LPT9, and COM and
// LPT followed by a superscript one, two or three.
bool NamesDevice(const wchar_t* step, size_t length);

#endif
