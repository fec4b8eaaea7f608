// Holds a file open without any sharing, as a running program holds its
// files, until the stop file appears or a minute has passed.
// Arguments: file, ready file (created once the file is held), stop file.
#include <windows.h>

#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    const HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    FILE* ready = fopen(argv[2], "w");
    if (ready != nullptr)
        fclose(ready);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 60000 && GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES)
        Sleep(50);
    CloseHandle(file);
    return 0;
}
