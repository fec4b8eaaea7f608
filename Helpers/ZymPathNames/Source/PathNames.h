#ifndef ZYM_PATHNAMES_H
#define ZYM_PATHNAMES_H

#include <stddef.h>

#include <string>

// The upper-case form of a character as Windows compares names: the simple
// one-to-one upper-case mapping of Unicode over the Basic Multilingual Plane
// (Greek, Cyrillic, Armenian, fullwidth Latin and every other cased script);
// a character without one, or whose upper case is longer, stays as it is.
// The Windows build asks the system, the native build the table below.
wchar_t FoldCase(wchar_t c);

// The same mapping from a table generated from the Unicode data.
wchar_t UpperByTable(wchar_t c);

// Whether one step of a path (no separators) names a device that Windows
// opens in every folder, also with an extension or trailing blanks: CON,
// PRN, AUX, NUL, CONIN$, CONOUT$, COM0 to COM9 and LPT0 to LPT9, and COM and
// LPT followed by a superscript one, two or three.
bool NamesDevice(const wchar_t* step, size_t length);

// The form of a full path that the file functions take as it is written:
// "\\?\C:\..." for a drive path, "\\?\UNC\server\share\..." for a share.
// Without it a program that is not long-path aware cannot reach a path of
// 260 characters or more (it gets "path not found", as if the file were
// gone), and a name ending in a dot or blank would be trimmed into another
// file's name. A text that is not a plain full path (relative, with
// forward slashes, "." or ".." steps or empty steps), or that has a prefix
// already, is returned unchanged: the prefix would change what it names.
std::wstring ExtendedLengthPath(const std::wstring& path);

#endif
