// A plug-in library for the uninstaller's tests: its "Uninstall" entry
// appends its own path to the file named by ZYM_PLUGIN_RECORD.
#include <windows.h>

#include <stdio.h>

namespace
{
HMODULE g_hSelf = nullptr;
}

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_hSelf = hInstance;
    return TRUE;
}

extern "C" __declspec(dllexport) void Uninstall()
{
    char record[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("ZYM_PLUGIN_RECORD", record, sizeof record);
    if (length == 0 || length >= sizeof record)
        return;
    char self[MAX_PATH];
    if (GetModuleFileNameA(g_hSelf, self, sizeof self) == 0)
        return;
    FILE* file = fopen(record, "a");
    if (file == nullptr)
        return;
    fprintf(file, "Uninstall %s\n", self);
    fclose(file);
}
