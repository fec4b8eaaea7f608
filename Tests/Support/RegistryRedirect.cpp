#include "RegistryRedirect.h"

#include <stdio.h>
#include <string.h>

namespace {

const char kScratchRoot[] = "Software\\ZymTestScratch";

HKEY CreateUnder(HKEY parent, const char* name, DWORD options)
{
    char noClass[] = "";
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, name, 0, noClass, options, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

} // namespace

RegistryRedirect::RegistryRedirect(bool machineRefusesNewKeys)
{
    static int s_counter = 0;
    char name[64];
    snprintf(name, sizeof(name), "%s\\%lu-%d", kScratchRoot, GetCurrentProcessId(), ++s_counter);
    m_scratchPath = name;

    HKEY scratch = CreateUnder(HKEY_CURRENT_USER, m_scratchPath.c_str(), REG_OPTION_NON_VOLATILE);
    if (scratch == nullptr)
        return;
    m_hMachine = CreateUnder(scratch, "machine",
                             machineRefusesNewKeys ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE);
    m_hUser = CreateUnder(scratch, "user", REG_OPTION_NON_VOLATILE);
    RegCloseKey(scratch);
    if (m_hMachine == nullptr || m_hUser == nullptr)
        return;
    m_bActive = RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_hMachine) == ERROR_SUCCESS &&
                RegOverridePredefKey(HKEY_CURRENT_USER, m_hUser) == ERROR_SUCCESS;
}

RegistryRedirect::~RegistryRedirect()
{
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (m_hMachine != nullptr)
        RegCloseKey(m_hMachine);
    if (m_hUser != nullptr)
        RegCloseKey(m_hUser);
    if (!m_scratchPath.empty())
        RegDeleteTreeA(HKEY_CURRENT_USER, m_scratchPath.c_str());
}

bool RegistryRedirect::CreateKey(HKEY hive, const char* path)
{
    HKEY key = CreateUnder(hive, path, REG_OPTION_NON_VOLATILE);
    if (key == nullptr)
        return false;
    RegCloseKey(key);
    return true;
}

bool RegistryRedirect::KeyExists(HKEY hive, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool RegistryRedirect::SetString(HKEY hive, const char* path, const char* name, const char* value)
{
    return SetRaw(hive, path, name, REG_SZ, value, static_cast<DWORD>(strlen(value) + 1));
}

bool RegistryRedirect::SetRaw(HKEY hive, const char* path, const char* name, DWORD type,
                              const void* data, DWORD size)
{
    HKEY key = CreateUnder(hive, path, REG_OPTION_NON_VOLATILE);
    if (key == nullptr)
        return false;
    const bool stored = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data),
                                       size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return stored;
}

std::string RegistryRedirect::GetString(HKEY hive, const char* path, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    std::string text = GetString(key, name);
    RegCloseKey(key);
    return text;
}

std::string RegistryRedirect::GetString(HKEY key, const char* name)
{
    char buffer[1024] = {};
    DWORD size = sizeof(buffer) - 1;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return "<missing>";
    return std::string(buffer);
}
