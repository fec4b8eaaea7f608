#ifndef UNINSTALL_REGISTRYKEY_H
#define UNINSTALL_REGISTRYKEY_H

#include <windows.h>

// Owns one open registry key and closes it when it goes out of scope.
class RegistryKey
{
public:
    explicit RegistryKey(HKEY hKey = nullptr) : m_hKey(hKey) {}
    ~RegistryKey()
    {
        if (m_hKey != nullptr)
            RegCloseKey(m_hKey);
    }

    HKEY Get() const { return m_hKey; }
    bool IsOpen() const { return m_hKey != nullptr; }

    // Opens subKey below parent with the given rights; false when it fails.
    bool Open(HKEY parent, const char* subKey, REGSAM access, DWORD options = 0)
    {
        HKEY hKey = nullptr;
        if (RegOpenKeyExA(parent, subKey, options, access, &hKey) != ERROR_SUCCESS)
            return false;
        if (m_hKey != nullptr)
            RegCloseKey(m_hKey);
        m_hKey = hKey;
        return true;
    }

private:
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY m_hKey;
};

#endif
