#ifndef UNINSTALL_PATHJOIN_H
#define UNINSTALL_PATHJOIN_H

#include <stddef.h>

#include <string>

// Writes folder, one backslash and name into out. A folder that already ends
// in a backslash (as the install folder does) gets no second one. Returns
// false, leaving out empty, when the result would not fit.
bool JoinPath(char* out, size_t outSize, const char* folder, const char* name);

// Folder, one backslash (none added when the folder ends in one) and name.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

#endif
