#ifndef REGISTRYREDIRECT_H
#define REGISTRYREDIRECT_H

#include <windows.h>

#include <string>

// Points HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER of this process at two
// empty scratch keys for the life of the object, so code under test meets a
// registry of the test's making. The scratch keys are removed afterwards.
class RegistryRedirect {
public:
    // A volatile machine hive refuses the non-volatile keys that the product
    // creates, which stands in for a machine hive the user may not write.
    explicit RegistryRedirect(bool machineRefusesNewKeys = false);
    ~RegistryRedirect();
    RegistryRedirect(const RegistryRedirect&) = delete;
    RegistryRedirect& operator=(const RegistryRedirect&) = delete;

    bool active() const { return m_bActive; }
    // Where the scratch keys lie below the real HKEY_CURRENT_USER; the
    // redirected hives are its "machine" and "user" sub-keys.
    const std::string& scratchPath() const { return m_scratchPath; }

    // Helpers that work on the redirected hives.
    static bool CreateKey(HKEY hive, const char* path);
    static bool KeyExists(HKEY hive, const char* path);
    static bool SetString(HKEY hive, const char* path, const char* name, const char* value);
    static bool SetRaw(HKEY hive, const char* path, const char* name, DWORD type,
                       const void* data, DWORD size);
    // The value's text, or "<missing>" when it cannot be read.
    static std::string GetString(HKEY hive, const char* path, const char* name);
    static std::string GetString(HKEY key, const char* name);

private:
    std::string m_scratchPath;
    HKEY m_hMachine = nullptr;
    HKEY m_hUser = nullptr;
    bool m_bActive = false;
};

#endif
