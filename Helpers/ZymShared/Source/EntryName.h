#ifndef ENTRYNAME_H
#define ENTRYNAME_H

#include <string>

// Whether a name stored in an archive, in the UTF-16 form Windows will create
// it under, stays below the destination it is joined to and names a plain
// file there: relative, no drive or stream colon, no ".." component under
// either separator (also with the trailing dots and blanks Windows strips),
// and no component that names a device. No system call is made here.
bool IsSafeEntryName(const std::wstring& name);

// The UTF-16 form of a name flagged as UTF-8 in the archive; false for bytes
// that are not well-formed UTF-8 (overlong forms, surrogates, values beyond
// U+10FFFF, cut sequences) and for a NUL.
bool DecodeUtf8Name(const char* bytes, size_t length, std::wstring& name);

#endif
