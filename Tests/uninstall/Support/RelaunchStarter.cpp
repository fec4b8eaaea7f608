// Starts a program the way the uninstaller's first run starts its cleanup
// copy: an inheritable handle of this process and two quoted paths, in the
// form "%s %d \"%s\" \"%s\"", then ends.
// Arguments: program, program file argument, folder argument.
#include <windows.h>

#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    const HANDLE self = OpenProcess(SYNCHRONIZE, TRUE, GetCurrentProcessId());
    if (self == nullptr)
        return 3;
    char commandLine[2048];
    snprintf(commandLine, sizeof commandLine, "%s %d \"%s\" \"%s\"", argv[1],
             static_cast<int>(reinterpret_cast<INT_PTR>(self)), argv[2], argv[3]);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return 4;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(self);
    Sleep(500);
    return 0;
}
