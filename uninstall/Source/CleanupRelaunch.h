#ifndef UNINSTALL_CLEANUPRELAUNCH_H
#define UNINSTALL_CLEANUPRELAUNCH_H

#include <string>

// Starts a temporary copy of this program, in a fresh folder of its own
// inside the temporary folder, that waits for this process to end and then
// deletes this program's file and the install folder. The system deletes the
// copy once its last handle is gone; the copy removes its folder. Every step
// is checked: when one fails, nothing is started, what was made is removed,
// and the result is false.
bool StartCleanupCopy(const std::wstring& installFolder);

#endif
