#include "ZymSleep.h"

#include <windows.h>

void ZymSleep(int nMilliseconds)
{
    Sleep(static_cast<DWORD>(nMilliseconds));
}
