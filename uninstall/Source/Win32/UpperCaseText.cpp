#include "UpperCaseText.h"

#include <windows.h>

#include <string.h>

void UpperCaseText(char* text)
{
    CharUpperBuffA(text, static_cast<DWORD>(strlen(text)));
}
