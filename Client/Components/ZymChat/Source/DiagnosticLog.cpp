#include "DiagnosticLog.h"

void DiagnosticLog::Write(const char* pszFormat, ...) const
{
    va_list arguments;
    va_start(arguments, pszFormat);
    WriteList(pszFormat, arguments);
    va_end(arguments);
}

void DiagnosticLog::WriteList(const char* pszFormat, va_list arguments) const
{
    if (m_pFile == nullptr)
        return;
    std::vfprintf(m_pFile, pszFormat, arguments);
    std::fflush(m_pFile);
}
