#include "MessagePause.h"

void PauseWithMessages(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;)
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        {
            if (message.message == WM_QUIT)
            {
                const DWORD elapsed = GetTickCount() - start;
                if (elapsed < milliseconds)
                    Sleep(milliseconds - elapsed);
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}
