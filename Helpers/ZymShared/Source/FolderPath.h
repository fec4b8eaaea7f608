#ifndef FOLDERPATH_H
#define FOLDERPATH_H

#include <string>

// Creates the folder path, taking "\\" and "/" as separators; the path may be
// in the \\?\ form. Returns true when the path exists afterwards as a folder,
// false when a folder on the way could not be made. outermostMade is the
// length of the outermost folder this call made, 0 when it made none: the
// folders from there down are the caller's to take away again.
bool MakeFolderPath(const std::wstring& path, size_t& outermostMade);
// Takes away what MakeFolderPath made: the folders of path from the
// innermost up to the one of length outermostMade, as long as they are
// empty; a folder that holds anything stays, and so do those above it. The
// path is cut in place, so that nothing is allocated: it is spent after the
// call.
void RemoveMadeFolders(std::wstring& path, size_t outermostMade);

#endif
