#ifndef UNINSTALL_FIRSTRUN_H
#define UNINSTALL_FIRSTRUN_H

#include <windows.h>

class CommandLineOptions;

// The run a user or a script starts: the window (unless silent), the
// removal, then the cleanup copy. Returns the exit code (ExitCode) of a run
// started with options; a bare run returns 0 whatever it did, as it always
// has: the person who started it reads the box, and the system's lists that
// start it read no code.
int RunFirstRun(HINSTANCE hInstance, int showCommand, const CommandLineOptions& options);

#endif
