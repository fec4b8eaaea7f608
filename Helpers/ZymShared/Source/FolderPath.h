#ifndef FOLDERPATH_H
#define FOLDERPATH_H

#include <string>

// Creates the folder path, taking "\\" and "/" as separators; the path may be
// in the \\?\ form. Returns true when the path exists afterwards as a folder,
// false when a folder on the way could not be made.
bool MakeFolderPath(const std::wstring& path);

#endif
