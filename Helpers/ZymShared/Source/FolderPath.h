#ifndef FOLDERPATH_H
#define FOLDERPATH_H

#include <string>

// Creates the folder path, taking "\\" and "/" as separators. Returns true
// when the path exists afterwards as far as could be told, false when a
// parent was missing or a folder could not be made.
bool MakeFolderPath(const std::wstring& path);

#endif
