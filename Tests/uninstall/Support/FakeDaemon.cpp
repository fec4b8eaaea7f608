// Stands in for the product's daemon: a window of class "ZYMDD" titled
// "Zym Daemon" that writes the close request it gets to a record file.
// Arguments: record file, file created once the window exists.
#include <windows.h>

#include <stdio.h>

namespace
{
const char* g_pszRecord = nullptr;

LRESULT CALLBACK DaemonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE)
    {
        FILE* file = fopen(g_pszRecord, "a");
        if (file != nullptr)
        {
            fprintf(file, "WM_CLOSE wParam=%lu lParam=0x%08lX\n", static_cast<unsigned long>(wParam),
                    static_cast<unsigned long>(lParam));
            fclose(file);
        }
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY)
    {
        PostQuitMessage(0);
        return 0;
    }
    if (message == WM_TIMER)
    {
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
}

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    g_pszRecord = argv[1];
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DaemonProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ZYMDD";
    if (RegisterClassA(&windowClass) == 0)
        return 3;
    const HWND window = CreateWindowExA(0, "ZYMDD", "Zym Daemon", WS_OVERLAPPED, 0, 0, 100, 50, nullptr, nullptr,
                                        windowClass.hInstance, nullptr);
    if (window == nullptr)
        return 4;
    // Gives up after a minute so a failed test leaves nothing running.
    SetTimer(window, 1, 60000, nullptr);
    FILE* ready = fopen(argv[2], "w");
    if (ready != nullptr)
        fclose(ready);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
