#include "RunLog.h"

#include "LogFile.h"

#include <windows.h>

namespace
{
const size_t kLabelWidth = 15;

const wchar_t* StepText(RemovalEvents::Step step)
{
    switch (step)
    {
    case RemovalEvents::ClosingProgram:
        return L"== closing the running program";
    case RemovalEvents::CallingPlugins:
        return L"== calling plug-ins";
    case RemovalEvents::RemovingFiles:
        return L"== removing files";
    case RemovalEvents::RemovingKeys:
        return L"== removing registry keys";
    }
    return L"== ?";
}

const wchar_t* EventLabel(RemovalEvents::Event event)
{
    switch (event)
    {
    case RemovalEvents::ProgramClosed:
        return L"closed";
    case RemovalEvents::ProgramStillRunning:
        return L"still running";
    case RemovalEvents::ProgramNotRunning:
        return L"not running";
    case RemovalEvents::PluginStarting:
        return L"loading";
    case RemovalEvents::PluginCalled:
        return L"called";
    case RemovalEvents::PluginWithoutEntry:
        return L"no entry";
    case RemovalEvents::PluginNotLoaded:
        return L"not loaded";
    case RemovalEvents::FileRemoved:
        return L"removed";
    case RemovalEvents::FolderRemoved:
        return L"removed folder";
    case RemovalEvents::Retrying:
        return L"in use, retry";
    case RemovalEvents::ScheduledAtRestart:
        return L"at restart";
    case RemovalEvents::LeftInPlace:
        return L"left";
    case RemovalEvents::KeptOnPurpose:
        return L"kept";
    case RemovalEvents::FolderRefused:
        return L"refused";
    case RemovalEvents::KeyRemoved:
        return L"removed key";
    case RemovalEvents::KeyLeft:
        return L"left key";
    }
    return L"?";
}
}

void RunLog::StepStarted(Step step)
{
    Write(StepText(step));
}

void RunLog::Noted(Event event, const std::wstring& item)
{
    // Every plug-in gets a line of its outcome; the line before the load
    // would only repeat its name.
    if (event == PluginStarting)
        return;
    Write(EventLabel(event), item);
}

void RunLog::Write(const wchar_t* label, const std::wstring& item)
{
    // Labels take one width, so that the items line up and a script can cut
    // them at one column.
    std::wstring text(label);
    text.resize(kLabelWidth, L' ');
    Write(text + item);
}

void RunLog::Write(const std::wstring& text)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stamp[32];
    wsprintfW(stamp, L"%04u-%02u-%02u %02u:%02u:%02u ", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
              now.wSecond);
    m_File.WriteLine(stamp + text);
}
