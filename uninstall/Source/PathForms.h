#ifndef UNINSTALL_PATHFORMS_H
#define UNINSTALL_PATHFORMS_H

#include <string>

// The name to give the loader for a library file: the loader appends
// ".dll" to a name without an extension, and would open another file, so
// such a name gets a trailing dot, which the loader drops instead.
std::wstring LibraryLoadName(const std::wstring& path);

#endif
