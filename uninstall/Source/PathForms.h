#ifndef UNINSTALL_PATHFORMS_H
#define UNINSTALL_PATHFORMS_H

#include <string>

// The form of a full path that the file functions take as it is written:
// "\\?\C:\..." for a drive path, "\\?\UNC\server\share\..." for a share.
// Without it a program that is not long-path aware cannot reach a path of
// 260 characters or more (it gets "path not found", as if the file were
// gone), and a name ending in a dot or blank would be trimmed into another
// file's name. A text that is not a plain full path (relative, with
// forward slashes, "." or ".." steps or empty steps), or that has a prefix
// already, is returned unchanged: the prefix would change what it names.
std::wstring ExtendedLengthPath(const std::wstring& path);

// The name to give the loader for a library file: the loader appends
// ".dll" to a name without an extension, and would open another file, so
// such a name gets a trailing dot, which the loader drops instead.
std::wstring LibraryLoadName(const std::wstring& path);

#endif
