// Stands in for the product's daemon: a window of class "ZYMDD" titled
// "Zym Daemon" that writes the close request it gets to a record file.
// Arguments: record file, file created once the window exists, and
// optionally "hang": then it stops answering for 40 s after it has recorded
// the request, as a hung daemon would.
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace
{
const char* g_pszRecord = nullptr;
bool g_bHang = false;

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
        if (g_bHang)
            Sleep(40000);
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
    if (argc != 3 && !(argc == 4 && strcmp(argv[3], "hang") == 0))
        return 2;
    g_pszRecord = argv[1];
    g_bHang = argc == 4;
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
