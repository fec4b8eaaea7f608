#ifndef UNINSTALL_FIRSTRUN_H
#define UNINSTALL_FIRSTRUN_H

#include <windows.h>

// The run a user starts: the window, the removal, then the cleanup copy.
void RunFirstRun(HINSTANCE hInstance, int showCommand);

#endif
