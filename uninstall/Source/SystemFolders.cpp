#include "SystemFolders.h"

#include "FinalPath.h"
#include "InstallFolderGuard.h"
#include "ProductIdentity.h"
#include "ThisMachine.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

namespace
{
typedef void (InstallFolderGuard::*AddFunction)(const std::wstring&);

// The folders below a profile that hold the user's own things or the
// programs' settings; each is a known folder of that profile's user.
const wchar_t* const kProfileFolders[] = {
    L"Desktop", L"Documents", L"Downloads", L"Music", L"Pictures", L"Videos", L"Favorites", L"Links",
    L"Contacts", L"Searches", L"Saved Games", L"OneDrive", L"3D Objects", L"AppData", L"AppData\\Local",
    L"AppData\\LocalLow", L"AppData\\Roaming", L"AppData\\Local\\Programs", L"AppData\\Local\\Temp",
    L"AppData\\Roaming\\Microsoft\\Windows\\Start Menu", L"My Documents", L"Application Data",
    L"Local Settings", L"Start Menu", L"Templates",
};

// Adds the path as written and as the file system resolves it: a link such
// as "Documents and Settings" names the same folder as its target.
void AddBothForms(InstallFolderGuard& guard, AddFunction add, const std::wstring& path)
{
    if (path.empty())
        return;
    (guard.*add)(path);
    const std::wstring resolved = FinalPathOf(path);
    if (!resolved.empty())
        (guard.*add)(resolved);
}

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

// Reads a REG_SZ or REG_EXPAND_SZ value, expanded; empty when absent.
std::wstring ReadPathValue(HKEY key, const wchar_t* name)
{
    wchar_t raw[MAX_PATH + 1];
    DWORD size = sizeof raw - sizeof raw[0];
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(raw), &size) != ERROR_SUCCESS
        || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::wstring();
    raw[size / sizeof raw[0]] = L'\0';
    wchar_t expanded[MAX_PATH];
    const DWORD length = ExpandEnvironmentStringsW(raw, expanded, MAX_PATH);
    return length > 0 && length <= MAX_PATH ? std::wstring(expanded) : std::wstring();
}

std::wstring ReadMachineValue(const wchar_t* keyPath, const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::wstring();
    const std::wstring value = ReadPathValue(key, name);
    RegCloseKey(key);
    return value;
}

std::vector<std::wstring> Profiles(std::wstring& profilesFolder)
{
    std::vector<std::wstring> profiles;
    HKEY list = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0,
                      KEY_READ, &list) != ERROR_SUCCESS)
        return profiles;
    profilesFolder = ReadPathValue(list, L"ProfilesDirectory");
    wchar_t name[256];
    for (DWORD index = 0;; ++index)
    {
        DWORD length = 256;
        if (RegEnumKeyExW(list, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY profile = nullptr;
        if (RegOpenKeyExW(list, name, 0, KEY_READ, &profile) != ERROR_SUCCESS)
            continue;
        const std::wstring path = ReadPathValue(profile, L"ProfileImagePath");
        RegCloseKey(profile);
        if (!path.empty())
            profiles.push_back(path);
    }
    RegCloseKey(list);
    return profiles;
}

// Every known folder the system's folder manager has a path for.
std::vector<std::wstring> KnownFolders()
{
    std::vector<std::wstring> folders;
    const HRESULT initialized = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IKnownFolderManager* manager = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_KnownFolderManager, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IKnownFolderManager, reinterpret_cast<void**>(&manager))))
    {
        KNOWNFOLDERID* ids = nullptr;
        UINT count = 0;
        if (SUCCEEDED(manager->GetFolderIds(&ids, &count)))
        {
            for (UINT i = 0; i < count; ++i)
            {
                PWSTR path = nullptr;
                if (SUCCEEDED(SHGetKnownFolderPath(ids[i], KF_FLAG_DONT_VERIFY, nullptr, &path)) && path != nullptr)
                    folders.push_back(path);
                CoTaskMemFree(path);
            }
            CoTaskMemFree(ids);
        }
        manager->Release();
    }
    if (SUCCEEDED(initialized))
        CoUninitialize();
    return folders;
}

// The parts below the current user's profile of those known folders that
// lie there: every other profile has its own folder of each.
void AddRelativeFolders(const std::wstring& profile, const std::vector<std::wstring>& known,
                        std::vector<std::wstring>& relative)
{
    for (const std::wstring& folder : known)
        if (InstallFolderGuard::IsInside(folder, profile))
            relative.push_back(folder.substr(profile.size() + (profile.back() == L'\\' ? 0 : 1)));
}
}

void AddSystemFolders(InstallFolderGuard& guard)
{
    guard.SetFallbackName(ZYM_INSTALL_FOLDER_NAME_W);
    wchar_t folder[MAX_PATH];
    UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        AddBothForms(guard, &InstallFolderGuard::AddWindowsFolder, folder);
    length = GetSystemWindowsDirectoryW(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        AddBothForms(guard, &InstallFolderGuard::AddWindowsFolder, folder);
    AddBothForms(guard, &InstallFolderGuard::AddWindowsFolder, Environment(L"SystemRoot"));
    AddBothForms(guard, &InstallFolderGuard::AddWindowsFolder, Environment(L"windir"));

    static const wchar_t* const kVariables[] = {
        L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"CommonProgramFiles",
        L"CommonProgramFiles(x86)", L"CommonProgramW6432", L"ProgramData", L"ALLUSERSPROFILE",
        L"PUBLIC", L"USERPROFILE", L"APPDATA", L"LOCALAPPDATA", L"TEMP", L"TMP",
    };
    for (const wchar_t* name : kVariables)
        AddBothForms(guard, &InstallFolderGuard::AddKnownFolder, Environment(name));
    const wchar_t* const version = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    static const wchar_t* const kValues[] = { L"ProgramFilesDir", L"ProgramFilesDir (x86)", L"CommonFilesDir",
                                              L"CommonFilesDir (x86)" };
    for (const wchar_t* name : kValues)
        AddBothForms(guard, &InstallFolderGuard::AddKnownFolder, ReadMachineValue(version, name));

    const std::vector<std::wstring> known = KnownFolders();
    for (const std::wstring& path : known)
        AddBothForms(guard, &InstallFolderGuard::AddKnownFolder, path);

    std::vector<std::wstring> relative(kProfileFolders, kProfileFolders + sizeof kProfileFolders / sizeof kProfileFolders[0]);
    const std::wstring ownProfile = Environment(L"USERPROFILE");
    if (!ownProfile.empty())
        AddRelativeFolders(ownProfile, known, relative);

    std::wstring profilesFolder;
    std::vector<std::wstring> profiles = Profiles(profilesFolder);
    AddBothForms(guard, &InstallFolderGuard::AddProfilesFolder, profilesFolder);
    // The folder holding the current user's profile holds the others too.
    const size_t cut = ownProfile.find_last_of(L'\\');
    if (cut != std::wstring::npos && cut > 2)
        AddBothForms(guard, &InstallFolderGuard::AddProfilesFolder, ownProfile.substr(0, cut));
    profiles.push_back(ownProfile);
    profiles.push_back(Environment(L"PUBLIC"));
    for (const std::wstring& profile : profiles)
    {
        if (profile.empty())
            continue;
        AddBothForms(guard, &InstallFolderGuard::AddKnownFolder, profile);
        const std::wstring base = profile.back() == L'\\' ? profile : profile + L"\\";
        for (const std::wstring& part : relative)
            AddBothForms(guard, &InstallFolderGuard::AddKnownFolder, base + part);
    }
    AddThisMachine(guard);
}
