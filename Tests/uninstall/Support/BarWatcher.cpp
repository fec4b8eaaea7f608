// Watches the uninstaller's window from another process: finds it by class
// and title, records every position its progress bar takes and the range,
// and creates a file once the bar has moved, for a screenshot.
// Arguments: record file, screenshot request file.
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    FILE* record = fopen(argv[1], "w");
    if (record == nullptr)
        return 3;
    bool seen = false;
    bool requested = false;
    long last = -1;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 30000)
    {
        const HWND window = FindWindowA("UNINSTALL", "Skelvane - Uninstaller");
        if (window == nullptr)
        {
            if (seen)
                break;
            Sleep(5);
            continue;
        }
        if (!seen)
            fprintf(record, "window found\n");
        seen = true;
        const HWND bar = FindWindowExA(window, nullptr, "msctls_progress32", nullptr);
        DWORD_PTR position = 0;
        if (bar != nullptr
            && SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_NORMAL, 100, &position) != 0
            && static_cast<long>(position) != last)
        {
            last = static_cast<long>(position);
            DWORD_PTR high = 0;
            SendMessageTimeoutA(bar, PBM_GETRANGE, FALSE, 0, SMTO_NORMAL, 100, &high);
            fprintf(record, "position %ld of %lu\n", last, static_cast<unsigned long>(high));
            fflush(record);
            if (last > 0 && !requested)
            {
                FILE* request = fopen(argv[2], "w");
                if (request != nullptr)
                    fclose(request);
                requested = true;
            }
        }
        Sleep(5);
    }
    fprintf(record, seen ? "window gone\n" : "window never seen\n");
    fclose(record);
    return 0;
}
