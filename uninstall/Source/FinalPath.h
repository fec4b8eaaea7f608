#ifndef UNINSTALL_FINALPATH_H
#define UNINSTALL_FINALPATH_H

#include <windows.h>

#include <string>

// The path of an opened file or folder as the file system resolves it (links,
// short names and case), in its usual form ("C:\..." or "\\server\..."); empty
// when it cannot be told.
std::wstring FinalPathOf(HANDLE handle);

// Opens path (file or folder) for nothing but its attributes and name, with
// every kind of sharing, and returns its final path; empty when it cannot be
// opened.
std::wstring FinalPathOf(const std::wstring& path);

// The full path of a text (current folder and drive applied, "." and ".."
// steps and doubled separators taken out); empty when it fails.
std::wstring FullPathOf(const std::wstring& path);

#endif
