#ifndef UNINSTALL_FIRSTRUN_H
#define UNINSTALL_FIRSTRUN_H

#include <windows.h>

class CommandLineOptions;

// The run a user or a script starts: the window (unless silent), the
// removal, then the cleanup copy. Returns the exit code (ExitCode).
int RunFirstRun(HINSTANCE hInstance, int showCommand, const CommandLineOptions& options);

#endif
