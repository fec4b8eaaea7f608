#include "SessionOutput.h"

#include <cstdarg>
#include <cstdio>

void SessionOutput::Log(const char* pszFormat, ...)
{
    char entry[1024];
    va_list arguments;
    va_start(arguments, pszFormat);
    std::vsnprintf(entry, sizeof(entry), pszFormat, arguments);
    va_end(arguments);
    m_LogEntries.push_back(entry);
}
