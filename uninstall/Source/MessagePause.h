#ifndef UNINSTALL_MESSAGEPAUSE_H
#define UNINSTALL_MESSAGEPAUSE_H

#include <windows.h>

// Waits the given time while handling the thread's window messages, so the
// window repaints and answers other programs' messages during the pause
// instead of appearing hung.
void PauseWithMessages(DWORD milliseconds);

#endif
