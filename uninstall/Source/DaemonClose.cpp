#include "DaemonClose.h"

#include <windows.h>

void CloseDaemon()
{
    const HWND daemon = FindWindowA("ZYMDD", "Zym Daemon");
    if (daemon != nullptr && IsWindowEnabled(daemon))
        SendMessageA(daemon, WM_CLOSE, 0, static_cast<LPARAM>(0xDEADBEEF));
}
