#include "ZymStatic.h"

#include "ProductIdentity.h"

#include <direct.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char kCompanyKey[] = ZYM_COMPANY_KEY;
const char kClientKey[] = ZYM_PRODUCT_SUBKEY;
const char kInstallPathValue[] = "InstallPath";
const char kDriveCandidate[] = "?:\\Program Files\\" ZYM_INSTALL_FOLDER_NAME "\\";
const char kSystemRootFolder[] = "\\" ZYM_INSTALL_FOLDER_NAME;

char g_installDir[512];

// A folder counts as present when it could be made or was there already.
bool MakeFolder(const char* path)
{
    return _mkdir(path) == 0 || errno == EEXIST;
}

HKEY CreateCompanyKey()
{
    char noClass[] = "";
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCompanyKey, 0, noClass, 0, KEY_WRITE,
                        nullptr, &key, nullptr) == ERROR_SUCCESS)
        return key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kCompanyKey, 0, noClass, 0, KEY_WRITE,
                        nullptr, &key, nullptr) == ERROR_SUCCESS)
        return key;
    return nullptr;
}

// Reads "InstallPath" into the cache and makes sure its folder exists. The
// cache ends with a backslash afterwards, or is emptied when the value is no
// usable folder.
bool ReadInstallPath()
{
    char noSubKey[] = "";
    HKEY company = GetZyBaseKey(false, noSubKey);
    if (company == nullptr)
        return false;

    bool found = false;
    HKEY client = nullptr;
    if (RegOpenKeyExA(company, kClientKey, 0, KEY_READ, &client) == ERROR_SUCCESS) {
        // One byte is held back: a value stored without its terminator still
        // gets one inside the cache.
        DWORD size = sizeof(g_installDir) - 1;
        if (RegQueryValueExA(client, kInstallPathValue, nullptr, nullptr,
                             reinterpret_cast<BYTE*>(g_installDir), &size) == ERROR_SUCCESS) {
            g_installDir[size] = '\0';
            found = MakeFolder(g_installDir);
            size_t length = strlen(g_installDir);
            if (length == 0 || g_installDir[length - 1] != '\\') {
                // A text that leaves no room for the backslash would name a
                // different folder once cut, so it is not used at all.
                if (length + 2 <= sizeof(g_installDir)) {
                    g_installDir[length] = '\\';
                    g_installDir[length + 1] = '\0';
                } else {
                    found = false;
                }
            }
        }
        RegCloseKey(client);
    }
    RegCloseKey(company);

    if (!found)
        g_installDir[0] = '\0';
    return found;
}

bool ScanDrives()
{
    char candidate[260] = {};
    memcpy(candidate, kDriveCandidate, sizeof(kDriveCandidate));
    for (char letter = 'c'; letter <= 'm'; ++letter) {
        candidate[0] = letter;
        if (MakeFolder(candidate)) {
            memcpy(g_installDir, candidate, sizeof(candidate));
            return true;
        }
    }
    return false;
}

// Fills the cache with the system folder's "QuillMarsh" subfolder. Without a
// usable "SystemRoot" the Windows folder reported by the system stands in.
void UseSystemRoot()
{
    const char* root = getenv("SystemRoot");
    if (root != nullptr && root[0] != '\0') {
        int written = snprintf(g_installDir, sizeof(g_installDir), "%s%s", root, kSystemRootFolder);
        if (written > 0 && static_cast<size_t>(written) < sizeof(g_installDir))
            return;
    }
    char windowsDir[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryA(windowsDir, sizeof(windowsDir));
    if (length == 0 || length >= sizeof(windowsDir))
        windowsDir[0] = '\0';
    snprintf(g_installDir, sizeof(g_installDir), "%s%s", windowsDir, kSystemRootFolder);
}

void StoreInstallPath()
{
    char noSubKey[] = "";
    HKEY company = GetZyBaseKey(true, noSubKey);
    if (company == nullptr)
        return;
    // An existing company key comes back for reading only, and Windows
    // refuses to create a sub-key through such a handle.
    HKEY writable = nullptr;
    if (RegOpenKeyExA(company, nullptr, 0, KEY_WRITE, &writable) == ERROR_SUCCESS) {
        RegCloseKey(company);
        company = writable;
    }
    char noClass[] = "";
    HKEY client = nullptr;
    if (RegCreateKeyExA(company, kClientKey, 0, noClass, 0, KEY_WRITE, nullptr, &client,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(client, kInstallPathValue, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(g_installDir),
                       static_cast<DWORD>(strlen(g_installDir) + 1));
        RegCloseKey(client);
    }
    RegCloseKey(company);
}

} // namespace

HKEY GetZyBaseKey(bool create, char* subKey)
{
    const bool wantsSubKey = subKey != nullptr && subKey[0] != '\0';

    HKEY root = HKEY_LOCAL_MACHINE;
    HKEY company = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCompanyKey, 0, KEY_READ, &company) != ERROR_SUCCESS) {
        root = HKEY_CURRENT_USER;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kCompanyKey, 0, KEY_READ, &company) != ERROR_SUCCESS)
            return create ? CreateCompanyKey() : nullptr;
    }
    if (!wantsSubKey)
        return company;

    HKEY sub = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
        RegCloseKey(company);
        return sub;
    }
    return company;
}

char* GetZymDirectory(void)
{
    if (g_installDir[0] != '\0')
        return g_installDir;

    if (ReadInstallPath())
        return g_installDir;

    if (!ScanDrives()) {
        UseSystemRoot();
        if (!MakeFolder(g_installDir))
            return g_installDir;
    }
    StoreInstallPath();
    return g_installDir;
}
