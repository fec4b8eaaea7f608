#include "ZymShared.h"

#include "ProductIdentity.h"

// The two functions this library exports from the static module: both
// headers must declare them alike, which compiling them together checks.
#include "ZymStatic.h"

#include <direct.h>
#include <errno.h>
#include <string.h>

namespace {

const char kIdentifierKey[] = ZYM_IDENTIFIER_KEY;
const char kIdentifierValue[] = "UniqueID";
const size_t kPathBufferSize = 256;

} // namespace

int GetZymGUID(char* buffer, int size)
{
    if (buffer == nullptr || size <= 0)
        return 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kIdentifierKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD length = static_cast<DWORD>(size);
    LONG result = RegQueryValueExA(key, kIdentifierValue, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(buffer), &length);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return 0;

    // The value may have been stored without its terminator; it only counts
    // as read when the terminated text fits the buffer.
    if (length == 0) {
        buffer[0] = '\0';
        return 1;
    }
    if (buffer[length - 1] == '\0')
        return 1;
    if (length < static_cast<DWORD>(size)) {
        buffer[length] = '\0';
        return 1;
    }
    buffer[0] = '\0';
    return 0;
}

int SetZymGUID(const char* identifier)
{
    if (identifier == nullptr)
        return 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kIdentifierKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return 0;
    LONG result = RegSetValueExA(key, kIdentifierValue, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(identifier),
                                 static_cast<DWORD>(strlen(identifier) + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 1 : 0;
}

void CreateDirectoryPath(char* path)
{
    if (path == nullptr)
        return;
    const char* lastSeparator = strrchr(path, '\\');
    if (lastSeparator == nullptr)
        return;
    // Every prefix up to the last backslash must fit the buffer with its
    // terminator; a longer path is not created in part either.
    const size_t end = static_cast<size_t>(lastSeparator - path);
    if (end >= kPathBufferSize)
        return;

    char folder[kPathBufferSize] = {};
    const size_t start = path[0] != '\0' && path[1] == ':' ? 3 : 0;
    for (size_t i = start; i <= end; ++i) {
        if (path[i] != '\\')
            continue;
        memcpy(folder, path, i);
        folder[i] = '\0';
        if (_mkdir(folder) != 0 && errno != EEXIST)
            return;
    }
}

char* GetFileNameWithoutExtension(const char* name, char* buffer)
{
    if (buffer == nullptr)
        return buffer;
    size_t i = 0;
    if (name != nullptr) {
        for (; name[i] != '\0' && name[i] != '.'; ++i)
            buffer[i] = name[i];
    }
    buffer[i] = '\0';
    return buffer;
}

int ZymMessageBox(HINSTANCE module, unsigned int id, char* text, int size, HWND owner,
                  char* caption, unsigned int type, unsigned int, unsigned int)
{
    if (text == nullptr || size <= 0)
        return 0;
    if (LoadStringA(module, id, text, size) <= 0)
        return 0;
    return MessageBoxA(owner, text, caption, type);
}
