#ifndef UNINSTALL_LOGFILE_H
#define UNINSTALL_LOGFILE_H

#include "KernelHandle.h"

#include <string>

// A log file: named in UTF-16, written in UTF-8, one line at a time and
// straight to the file, so that what a run did is on disk even when the
// run ends abruptly. Other programs may read it while it is written.
class LogFile
{
public:
    LogFile() = default;

    // Creates the file, replacing an earlier one; false when it cannot.
    bool Open(const std::wstring& path);
    bool IsOpen() const { return m_File.IsValid(); }
    // Writes the line and a line break. A line the disk does not take is
    // lost: the log is the only place that could say so.
    void WriteLine(const std::wstring& line);

private:
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    KernelHandle m_File;
};

#endif
