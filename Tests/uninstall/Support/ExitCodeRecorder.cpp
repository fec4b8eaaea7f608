// Runs a program as a script on Windows runs it and records its whole exit
// code, which the Unix exit status of a Wine process cuts to 8 bits (3010
// comes out as 194). The program writes to this process's standard output.
// Arguments: record file, program, its arguments.
#include <windows.h>
#include <shellapi.h>

#include <stdio.h>

#include <string>

namespace
{
// Each argument as the program's parser takes it back: quoted when it holds
// a blank or is empty. The arguments of these tests hold no double quote.
std::wstring Quoted(const wchar_t* argument)
{
    const std::wstring text(argument);
    if (!text.empty() && text.find_first_of(L" \t") == std::wstring::npos)
        return text;
    return L"\"" + text + L"\"";
}
}

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 3)
        return 2;
    std::wstring commandLine = Quoted(argv[2]);
    for (int i = 3; i < argc; ++i)
        commandLine += L" " + Quoted(argv[i]);

    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output != nullptr && output != INVALID_HANDLE_VALUE)
        SetHandleInformation(output, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = output;
    startup.hStdError = nullptr;
    PROCESS_INFORMATION process;
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return 3;
    CloseHandle(process.hThread);
    DWORD code = 0;
    const bool ended = WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0
        && GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    if (!ended)
        return 4;
    FILE* record = _wfopen(argv[1], L"w");
    if (record == nullptr)
        return 5;
    fprintf(record, "%lu\n", static_cast<unsigned long>(code));
    fclose(record);
    LocalFree(argv);
    return 0;
}
