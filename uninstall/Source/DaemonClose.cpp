#include "DaemonClose.h"

#include "KernelHandle.h"

#include <windows.h>

namespace
{
const UINT kSendTimeoutMilliseconds = 5000;
const DWORD kExitTimeoutMilliseconds = 5000;
}

RemovalEvents::Event CloseDaemon()
{
    const HWND daemon = FindWindowW(L"ZYMDD", L"Zym Daemon");
    if (daemon == nullptr || !IsWindowEnabled(daemon))
        return RemovalEvents::ProgramNotRunning;
    // The process is opened before the request, while its window still names
    // it; afterwards its files stay in use until it has ended.
    DWORD processId = 0;
    GetWindowThreadProcessId(daemon, &processId);
    const KernelHandle process(processId != 0 ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr);
    DWORD_PTR result = 0;
    const bool handled = SendMessageTimeoutW(daemon, WM_CLOSE, 0, static_cast<LPARAM>(0xDEADBEEF), SMTO_ABORTIFHUNG,
                                             kSendTimeoutMilliseconds, &result) != 0;
    // Without its process there is nothing to wait for: the window going is
    // all that can be seen.
    const bool ended = process.IsValid() ? WaitForSingleObject(process.Get(), kExitTimeoutMilliseconds) == WAIT_OBJECT_0
                                         : handled && !IsWindow(daemon);
    return ended ? RemovalEvents::ProgramClosed : RemovalEvents::ProgramStillRunning;
}
