// Watches the uninstaller's window from another process: finds it by class
// and title, records every position its progress bar takes and the range,
// and every text its line above the bar shows (UTF-8), and creates a file
// once the bar has moved, for a screenshot. It ends when the window has gone,
// after 30 s, or, with a stop file given, when that file appears.
// Arguments: record file, screenshot request file, optionally stop file.
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <wchar.h>

namespace
{
// The window's line of text, read through the window itself.
void RecordText(FILE* record, HWND window, wchar_t* last, size_t size)
{
    const HWND line = FindWindowExW(window, nullptr, L"Static", nullptr);
    wchar_t text[1024] = L"";
    DWORD_PTR length = 0;
    if (line == nullptr
        || SendMessageTimeoutW(line, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 100, &length) == 0
        || wcscmp(text, last) == 0)
        return;
    wcsncpy(last, text, size - 1);
    last[size - 1] = L'\0';
    char utf8[4096];
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr) > 0)
        fprintf(record, "text %s\n", utf8);
    fflush(record);
}
}

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4)
        return 2;
    FILE* record = fopen(argv[1], "w");
    if (record == nullptr)
        return 3;
    bool seen = false;
    bool requested = false;
    long last = -1;
    wchar_t lastText[1024] = L"";
    bool stopped = false;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 30000)
    {
        if (argc == 4 && GetFileAttributesA(argv[3]) != INVALID_FILE_ATTRIBUTES)
        {
            stopped = true;
            break;
        }
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
        RecordText(record, window, lastText, 1024);
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
    if (!seen)
        fprintf(record, "window never seen\n");
    else
        fprintf(record, stopped ? "window still there\n" : "window gone\n");
    fclose(record);
    return 0;
}
