#ifndef UNINSTALL_UNINSTALLSEQUENCE_H
#define UNINSTALL_UNINSTALLSEQUENCE_H

#include <windows.h>

#include <string>

class RemovalReport;

// The removal the first run performs with its window: closes the daemon,
// shows the progress bar, runs the plug-in libraries, empties the install
// folder, removes the registry keys and finally closes the window. An empty
// installFolder stands for a folder that may not be emptied: its files stay
// and its plug-ins are not run; the registry keys are removed all the same.
// Without a main window (a silent run) there is no bar and nothing to close,
// and the work is the same. Each step and item goes to the report, and so
// does what cannot be removed.
void RunUninstallSequence(HINSTANCE hInstance, HWND mainWindow, const std::wstring& installFolder,
                          RemovalReport& report);

#endif
