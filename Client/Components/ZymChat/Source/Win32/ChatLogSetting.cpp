#include "ChatLogSetting.h"

#include "ProductIdentity.h"

#include <windows.h>

const char* const kChatLogKey = ZYM_PRODUCT_KEY;
const wchar_t* const kChatLogValue = L"ChatLogFile";

namespace
{
    // Longest file name taken from the value, its terminator included.
    const DWORD kPathCharacters = 1024;
}

FILE* OpenConfiguredChatLog()
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kChatLogKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return nullptr;
    wchar_t path[kPathCharacters];
    DWORD nType = 0;
    // One character short of the buffer, so the text ends in a terminator
    // whether or not the stored value carries one.
    DWORD nBytes = (kPathCharacters - 1) * sizeof(wchar_t);
    LONG nResult = RegQueryValueExW(hKey, kChatLogValue, nullptr, &nType,
                                    reinterpret_cast<BYTE*>(path), &nBytes);
    RegCloseKey(hKey);
    if (nResult != ERROR_SUCCESS || nType != REG_SZ)
        return nullptr;
    path[nBytes / sizeof(wchar_t)] = L'\0';
    if (path[0] == L'\0')
        return nullptr;
    return _wfopen(path, L"a");
}
