#ifndef ZYM_DIAGNOSTICLOG_H
#define ZYM_DIAGNOSTICLOG_H

#include <cstdarg>
#include <cstdio>

// The one writer of the component's diagnostic log, for the component and
// for every layer of its connection: each entry is written whole and flushed
// at once, so that a process that dies leaves every entry before it. The
// file belongs to the component, which keeps it open while anything writes.
class DiagnosticLog
{
public:
    // A null file is no log: entries are dropped.
    explicit DiagnosticLog(FILE* pFile) : m_pFile(pFile) {}

    bool IsOpen() const { return m_pFile != nullptr; }
    void Write(const char* pszFormat, ...) const;
    void WriteList(const char* pszFormat, va_list arguments) const;

private:
    FILE* m_pFile;
};

#endif
