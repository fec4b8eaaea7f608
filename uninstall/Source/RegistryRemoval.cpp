#include "RegistryRemoval.h"

#include "ProductIdentity.h"
#include "RegistryKey.h"
#include "RemovalReport.h"
#include "TList.h"
#include "ZymStatic.h"
#include "ZymString.h"

#include <string.h>

#include <string>

namespace
{
const char kProductKey[] = ZYM_PRODUCT_KEY_BELOW_SOFTWARE;
const char kSoftware[] = "Software";

// A key's name for the log, below the Software key of its hive.
std::wstring Shown(const std::string& path)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), static_cast<int>(path.size()), &wide[0], length);
    return wide;
}

void DeleteKey(HKEY parent, const char* name, const std::string& shown, RemovalReport& report)
{
    const bool deleted = RegDeleteKeyA(parent, name) == ERROR_SUCCESS;
    report.Note(deleted ? RemovalEvents::KeyRemoved : RemovalEvents::KeyLeft, Shown(shown));
}

void CollectSubKeyNames(HKEY key, TList<ZymString>& names)
{
    char name[261];
    for (DWORD index = 0;; ++index)
    {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return;
        names.append(ZymString(name));
    }
}

void DeleteAllValues(HKEY key)
{
    char name[260];
    for (;;)
    {
        DWORD length = sizeof name;
        if (RegEnumValueA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return;
        // A value that cannot be deleted stays at index 0; taking it again
        // would never end.
        if (RegDeleteValueA(key, name) != ERROR_SUCCESS)
            return;
    }
}

// A registry link leads to a key anywhere in the hive; opening through it
// would empty or delete that key. A key that cannot be examined counts as
// one.
bool IsLink(HKEY parent, const char* path)
{
    RegistryKey key;
    if (!key.Open(parent, path, KEY_QUERY_VALUE, REG_OPTION_OPEN_LINK))
        return true;
    DWORD type = REG_NONE;
    return RegQueryValueExA(key.Get(), "SymbolicLinkValue", nullptr, &type, nullptr, nullptr)
               == ERROR_SUCCESS
        && type == REG_LINK;
}

// Checks every key on path, from the first below parent to the last.
bool PathHasLink(HKEY parent, const char* path)
{
    char prefix[261];
    const size_t length = strlen(path);
    if (length >= sizeof prefix)
        return true;
    memcpy(prefix, path, length + 1);
    for (size_t i = 1; i <= length; ++i)
    {
        if (prefix[i] != '\\' && prefix[i] != '\0')
            continue;
        const char kept = prefix[i];
        prefix[i] = '\0';
        const bool link = IsLink(parent, prefix);
        prefix[i] = kept;
        if (link)
            return true;
    }
    return false;
}

// True when the key at path below base exists and has no sub-keys.
bool HasNoSubKeys(HKEY base, const char* path)
{
    RegistryKey key;
    if (!key.Open(base, path, KEY_QUERY_VALUE))
        return false;
    DWORD subKeys = 0;
    if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    return subKeys == 0;
}

bool EmptyKey(HKEY parent, const char* subKey, const std::string& shown, RemovalReport& report)
{
    RegistryKey key;
    if (PathHasLink(parent, subKey)
        || !key.Open(parent, subKey, KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS))
        return false;
    // Names are collected first: deleting while enumerating by index would
    // shift the indexes.
    TList<ZymString> names;
    CollectSubKeyNames(key.Get(), names);
    for (names.rewind(); names.hasCurrent(); names.Step())
    {
        const char* name = names.iterator().Text();
        // Deleting a link by name would delete the key it leads to, so a
        // link stays, and with it the keys above it.
        const std::string shownName = shown + "\\" + name;
        if (IsLink(key.Get(), name))
        {
            report.Note(RemovalEvents::KeyLeft, Shown(shownName));
            continue;
        }
        EmptyKey(key.Get(), name, shownName, report);
        DeleteKey(key.Get(), name, shownName, report);
    }
    DeleteAllValues(key.Get());
    return true;
}
}

bool DeleteKeyContents(HKEY parent, const char* subKey)
{
    RemovalReport unreported;
    return EmptyKey(parent, subKey, subKey, unreported);
}

void RemoveRegistryKeys()
{
    RemovalReport unreported;
    RemoveRegistryKeys(unreported);
}

void RemoveRegistryKeys(RemovalReport& report)
{
    char software[sizeof kSoftware];
    memcpy(software, kSoftware, sizeof kSoftware);
    RegistryKey base(GetZyBaseKey(false, software));
    if (!base.IsOpen())
        return;
    EmptyKey(base.Get(), kProductKey, std::string(kSoftware) + "\\" + kProductKey, report);

    char path[sizeof kProductKey];
    memcpy(path, kProductKey, sizeof kProductKey);
    // Each step either deletes a key and shortens the path or ends the walk,
    // so no key is examined twice. An empty path would name the base key
    // itself, which is never deleted.
    while (path[0] != '\0' && !PathHasLink(base.Get(), path) && HasNoSubKeys(base.Get(), path))
    {
        DeleteKey(base.Get(), path, std::string(kSoftware) + "\\" + path, report);
        char* cut = strrchr(path, '\\');
        if (cut != nullptr)
            *cut = '\0';
        else
            path[0] = '\0';
    }
}
