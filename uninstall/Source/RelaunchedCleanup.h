#ifndef UNINSTALL_RELAUNCHEDCLEANUP_H
#define UNINSTALL_RELAUNCHEDCLEANUP_H

#include <string>

// The temporary copy's work: waits for the first process, deletes its
// program file, removes the install folder if it is empty, and removes the
// copy's own folder. Does nothing unless the command line has exactly the
// relaunch form; the install folder is not touched when it may not be
// removed.
void RunRelaunchedCleanup(const std::wstring& commandLine);

#endif
