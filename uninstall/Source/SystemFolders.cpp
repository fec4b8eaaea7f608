#include "SystemFolders.h"

#include "InstallFolderGuard.h"
#include "RegistryKey.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

namespace
{
void AddFromEnvironment(InstallFolderGuard& guard, const char* name)
{
    char value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    if (length > 0 && length < sizeof value)
        guard.AddProtectedFolder(value);
}

// Reads a REG_SZ or REG_EXPAND_SZ value, expanded; false when absent.
bool ReadPathValue(HKEY key, const char* name, char* out, DWORD outSize)
{
    char raw[MAX_PATH];
    DWORD size = sizeof raw - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(raw), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    raw[size < sizeof raw ? size : sizeof raw - 1] = '\0';
    const DWORD length = ExpandEnvironmentStringsA(raw, out, outSize);
    return length > 0 && length <= outSize;
}

void AddFromRegistry(InstallFolderGuard& guard, const char* keyPath, const char* valueName)
{
    RegistryKey key;
    char value[MAX_PATH];
    if (key.Open(HKEY_LOCAL_MACHINE, keyPath, KEY_READ) && ReadPathValue(key.Get(), valueName, value, sizeof value))
        guard.AddProtectedFolder(value);
}

void AddProfiles(InstallFolderGuard& guard)
{
    RegistryKey list;
    if (!list.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", KEY_READ))
        return;
    char value[MAX_PATH];
    if (ReadPathValue(list.Get(), "ProfilesDirectory", value, sizeof value))
        guard.AddProfilesFolder(value);
    char name[261];
    for (DWORD index = 0;; ++index)
    {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(list.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return;
        RegistryKey profile;
        if (profile.Open(list.Get(), name, KEY_READ) && ReadPathValue(profile.Get(), "ProfileImagePath", value, sizeof value))
            guard.AddProtectedFolder(value);
    }
}

// The folder holding the current user's profile holds the others too.
void AddParentOfUserProfile(InstallFolderGuard& guard)
{
    char value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("USERPROFILE", value, sizeof value);
    if (length == 0 || length >= sizeof value)
        return;
    char* cut = strrchr(value, '\\');
    if (cut != nullptr && cut > value + 2)
    {
        *cut = '\0';
        guard.AddProfilesFolder(value);
    }
}
}

void AddSystemFolders(InstallFolderGuard& guard)
{
    char folder[MAX_PATH];
    UINT length = GetWindowsDirectoryA(folder, sizeof folder);
    if (length > 0 && length < sizeof folder)
        guard.AddProtectedFolder(folder);
    length = GetSystemDirectoryA(folder, sizeof folder);
    if (length > 0 && length < sizeof folder)
        guard.AddProtectedFolder(folder);

    static const char* const kVariables[] = {
        "SystemRoot", "windir", "ProgramFiles", "ProgramFiles(x86)", "ProgramW6432",
        "CommonProgramFiles", "CommonProgramFiles(x86)", "ProgramData", "ALLUSERSPROFILE",
        "PUBLIC", "USERPROFILE",
    };
    for (const char* name : kVariables)
        AddFromEnvironment(guard, name);

    const char* const version = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    AddFromRegistry(guard, version, "ProgramFilesDir");
    AddFromRegistry(guard, version, "ProgramFilesDir (x86)");
    AddFromRegistry(guard, version, "CommonFilesDir");

    AddProfiles(guard);
    AddParentOfUserProfile(guard);
}
