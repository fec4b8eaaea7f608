#ifndef UNINSTALL_SAFEINSTALLFOLDER_H
#define UNINSTALL_SAFEINSTALLFOLDER_H

#include "InstallFolderGuard.h"

#include <string>

// Decides on the install folder as the file system resolves it: the text, its
// full path and the final path of the opened folder must each pass the guard
// against this machine's folders, no folder on its way may be a link, and,
// when programMustBeInside is set, the running program must lie inside it.
// On Removable, resolved holds the folder's final path, which is the path
// that removal then works on.
InstallFolderGuard::Verdict CheckInstallFolder(const std::wstring& folder, bool programMustBeInside,
                                               std::wstring& resolved);

// The install folder text as the product's registry value gives it, in
// UTF-16 (converted from the ANSI code page, which is exact that way round).
std::wstring WidenInstallFolder(const char* folder);

#endif
