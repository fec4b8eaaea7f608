#include "ZymAlert.h"

#include <cstdio>

// Without a window system the alarm goes to the standard error stream.
void ZymAlert(const char* pszText)
{
    std::fprintf(stderr, "Alert!: %s\n", pszText);
}
