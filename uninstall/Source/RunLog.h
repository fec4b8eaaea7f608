#ifndef UNINSTALL_RUNLOG_H
#define UNINSTALL_RUNLOG_H

#include "RemovalEvents.h"

#include <string>

class LogFile;

// Turns a run's steps and events into the lines of its log: each line
// begins with the local time, events name what happened and to which item.
class RunLog final : public RemovalEvents
{
public:
    explicit RunLog(LogFile& file) : m_File(file) {}

    void StepStarted(Step step) override;
    void Noted(Event event, const std::wstring& item) override;
    // A line of the run itself: its command line, folder and result, as a
    // label and an item, or as a free text.
    void Write(const wchar_t* label, const std::wstring& item);
    void Write(const std::wstring& text);

private:
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    LogFile& m_File;
};

#endif
