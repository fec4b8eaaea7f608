#ifndef FOLDERPATH_H
#define FOLDERPATH_H

// Creates the folder path, taking "\\" and "/" as separators. Returns 1 when
// the path exists afterwards as far as could be told, 0 when a parent was
// missing or the path does not fit the routine's 256-byte buffer.
int MakeFolderPath(const char* path);

#endif
