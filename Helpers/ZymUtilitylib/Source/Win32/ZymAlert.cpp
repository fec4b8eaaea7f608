#include "ZymAlert.h"

#include <windows.h>

void ZymAlert(const char* pszText)
{
    MessageBoxA(nullptr, pszText, "Alert!", MB_OK);
}
