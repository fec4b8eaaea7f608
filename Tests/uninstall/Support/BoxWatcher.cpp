// Watches for the uninstaller's message box from another process: records
// the text of every box with the uninstaller's caption (UTF-8, one line per
// box line) and closes it with OK, until the stop file appears or a minute
// has passed; then records how many boxes it saw.
// Arguments: record file, stop file.
#include <windows.h>

#include <stdio.h>

namespace
{
void WriteUtf8(FILE* record, const wchar_t* text)
{
    char buffer[8192];
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    if (length > 0)
        fputs(buffer, record);
}
}

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    FILE* record = fopen(argv[1], "wb");
    if (record == nullptr)
        return 3;
    int boxes = 0;
    HWND last = nullptr;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 60000 && GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES)
    {
        const HWND box = FindWindowW(L"#32770", L"Skelvane - Uninstaller");
        if (box != nullptr && box != last)
        {
            // The box may be found before its text is in place.
            wchar_t text[4096] = L"";
            for (int wait = 0; wait < 100 && GetDlgItemTextW(box, 0xFFFF, text, 4096) == 0; ++wait)
                Sleep(20);
            fprintf(record, "box:\n");
            WriteUtf8(record, text);
            fprintf(record, "\n");
            fflush(record);
            ++boxes;
            last = box;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        Sleep(20);
    }
    fprintf(record, "boxes %d\n", boxes);
    fclose(record);
    return 0;
}
