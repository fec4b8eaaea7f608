#ifndef ZYMSTATIC_H
#define ZYMSTATIC_H

// Install-folder lookup and the company registry key. This module is compiled
// into every binary that needs them, and each binary keeps its own cache.

#include <windows.h>

#ifndef __cplusplus
#include <stdbool.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

// The install folder, found or created by the first call and cached for the
// life of the module; later calls return the same buffer without looking
// again. Never null. The text ends with a backslash, except when it had to be
// the "QuillMarsh" folder of the system folder.
char* GetZymDirectory(void);

// Opens the company key ("SOFTWARE\\Quillmarsh") under HKEY_LOCAL_MACHINE,
// else HKEY_CURRENT_USER. With a non-empty sub-key, that sub-key of the same
// hive (not of the company key) is returned instead when it exists. With
// create set and no company key anywhere, the company key is created and
// returned (the sub-key is then not applied). The caller closes the key; null
// when nothing could be opened.
HKEY GetZyBaseKey(bool create, char* subKey);

#ifdef __cplusplus
}
#endif

#endif
