#ifndef UNINSTALL_RELAUNCHEDCLEANUP_H
#define UNINSTALL_RELAUNCHEDCLEANUP_H

// The temporary copy's work: waits for the first process, deletes its
// program file and removes the install folder if it is empty. Does nothing
// unless the command line has exactly the relaunch form; the folder is not
// touched when it may not be removed.
void RunRelaunchedCleanup(const char* commandLine);

#endif
