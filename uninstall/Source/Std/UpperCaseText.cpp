#include "UpperCaseText.h"

void UpperCaseText(char* text)
{
    for (char* p = text; *p != '\0'; ++p)
    {
        if (*p >= 'a' && *p <= 'z')
            *p = static_cast<char>(*p - 'a' + 'A');
    }
}
