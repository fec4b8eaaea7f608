#ifndef ZYMSHARED_H
#define ZYMSHARED_H

// Plain functions of ZymShared.dll for the product's programs: install folder,
// company registry key, installation id, ZIP extraction, folder paths and
// string-table message boxes. All have C linkage and undecorated names.

#include <windows.h>

#ifndef __cplusplus
#include <stdbool.h>
#endif

// The library itself exports through its module-definition file.
#if defined(ZYMSHARED_BUILD)
#define ZYMSHARED_API
#else
#define ZYMSHARED_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

// GetZymDirectory and GetZyBaseKey are declared alike in ZymStatic.h, the
// module that implements them; ZymShared.dll's build checks that both agree.

// The install folder, found or created by the first call and cached for the
// life of the module; later calls return the same buffer without looking
// again. Never null. The text ends with a backslash, except when it had to be
// the "QuillMarsh" folder of the system folder.
ZYMSHARED_API char* GetZymDirectory(void);

// Opens the company key ("SOFTWARE\\Quillmarsh") under HKEY_LOCAL_MACHINE,
// else HKEY_CURRENT_USER. With a non-empty sub-key, that sub-key of the same
// hive (not of the company key) is returned instead when it exists. With
// create set and no company key anywhere, the company key is created and
// returned (the sub-key is then not applied). The caller closes the key; null
// when nothing could be opened.
ZYMSHARED_API HKEY GetZyBaseKey(bool create, char* subKey);

// Reads the installation id into buffer (size bytes). Returns 1 when it was
// read, and the buffer then holds a terminated text; 0 otherwise, also when
// the id does not fit.
ZYMSHARED_API int GetZymGUID(char* buffer, int size);

// Stores the installation id under an existing product key. 1 when stored.
ZYMSHARED_API int SetZymGUID(const char* identifier);

// Extracts every file of a ZIP archive below destination (the current folder
// when null), keeping the stored folders and replacing existing files. A
// relative destination is taken from the current folder, or from the root of
// the current drive when it starts with a backslash; the destination and the
// folders below it are made when missing. Paths of any length are written,
// also beyond 260 characters. Names flagged as UTF-8 in the archive are taken
// as UTF-8, others in the ANSI code page. Returns true only when every file
// entry was written whole. False, with nothing written, when the sizes the
// entries declare exceed the free space of the destination's volume. False as
// well when the archive cannot be opened, when an entry was refused (absolute
// names, drive or UNC prefixes, ".." components, device names such as "nul",
// "com1" or "com" with a superscript digit, names of 256 characters or
// more), when an entry could not be written, failed its checksum or held more
// or less than it declares (the file it was to replace then stays as it was),
// when memory ran out, and when the extraction stopped early. Files already
// written whole stay; no file is left open or half written under its name.
// A second thread inflates while the calling one writes, so the call must not
// come from a DLL's entry point (the thread could not start under the loader
// lock).
ZYMSHARED_API bool DecompressArchive(const char* archive, const char* destination);

// Creates each folder along path. Only backslashes separate, and the text
// after the last one is a file name that is not created. A path whose last
// backslash lies at index 256 or beyond is refused as a whole.
ZYMSHARED_API void CreateDirectoryPath(char* path);

// Copies name up to its first dot into buffer and returns buffer.
ZYMSHARED_API char* GetFileNameWithoutExtension(const char* name, char* buffer);

// Loads string id of module into text (size characters) and shows it in a
// message box with owner, caption and type. Returns the box's result, or 0
// without showing anything when the string is missing. The last two arguments
// are not used.
ZYMSHARED_API int ZymMessageBox(HINSTANCE module, unsigned int id, char* text, int size,
                                HWND owner, char* caption, unsigned int type,
                                unsigned int, unsigned int);

#ifdef __cplusplus
}
#endif

#endif
