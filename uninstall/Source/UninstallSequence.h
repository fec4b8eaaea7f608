#ifndef UNINSTALL_UNINSTALLSEQUENCE_H
#define UNINSTALL_UNINSTALLSEQUENCE_H

#include <windows.h>

// The removal the first run performs with its window: closes the daemon,
// shows the progress bar, runs the plug-in libraries, empties the install
// folder, removes the registry keys and finally closes the window. A folder
// that may not be emptied (folderRemovable false) keeps its files and its
// plug-ins are not run; the registry keys are removed all the same.
void RunUninstallSequence(HINSTANCE hInstance, HWND mainWindow, const char* installFolder,
                          bool folderRemovable);

#endif
