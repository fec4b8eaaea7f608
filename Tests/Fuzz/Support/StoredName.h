#ifndef ZYM_FUZZ_STOREDNAME_H
#define ZYM_FUZZ_STOREDNAME_H

#include <stddef.h>

#include <string>

// The name the extraction checks for the bytes an archive stores: decoded
// from UTF-8 when the entry is flagged so, else taken in the ANSI code page,
// modelled here by Latin-1, byte for byte (it holds the superscript digits
// that name devices in Windows-1252). False when no name results, as the
// extraction then skips the entry.
bool StoredEntryName(const char* pStored, size_t nLength, bool bUtf8, std::wstring& name);

// The UTF-8 form of UTF-16 code units (paired surrogates joined); a lone
// surrogate is written as its own three bytes.
std::string EncodeUtf8(const std::wstring& units);

// A wide text for a report: ASCII as it is, everything else as \uXXXX.
std::string Printable(const std::wstring& text);

#endif
