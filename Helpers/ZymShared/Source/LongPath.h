#ifndef LONGPATH_H
#define LONGPATH_H

#include <string>

// The path as the system resolves it (relative to the current folder or
// drive, "/" read as a backslash, "." and trailing dots and blanks dropped),
// in the \\?\ form that the wide file functions take at any length, beyond
// the classic 260 characters. A path already in that form is kept as it is.
// Empty when the path cannot be resolved.
std::wstring ExtendedPath(const std::wstring& path);

#endif
