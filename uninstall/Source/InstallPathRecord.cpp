#include "InstallPathRecord.h"

#include "RegistryKey.h"
#include "ZymStatic.h"

#include <string.h>

bool InstallPathRecorded()
{
    static const char kCompanyKey[] = "";
    char noSubKey[sizeof kCompanyKey];
    memcpy(noSubKey, kCompanyKey, sizeof kCompanyKey);
    RegistryKey company(GetZyBaseKey(false, noSubKey));
    if (!company.IsOpen())
        return false;
    RegistryKey client;
    if (!client.Open(company.Get(), "SkelvaneClient\\2.0", KEY_QUERY_VALUE))
        return false;
    DWORD type = REG_NONE;
    DWORD size = 0;
    return RegQueryValueExA(client.Get(), "InstallPath", nullptr, &type, nullptr, &size) == ERROR_SUCCESS
        && (type == REG_SZ || type == REG_EXPAND_SZ) && size > 1;
}
