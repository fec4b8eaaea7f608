#ifndef UNINSTALL_COMMANDLINEOPTIONS_H
#define UNINSTALL_COMMANDLINEOPTIONS_H

#include <string>

// The one gate of the program's command line. A line whose first argument
// is a decimal number is the relaunch line the first run writes for its
// cleanup copy, and is read there. Every other line is a first run:
// nothing, or the options "/S" (no window, no box), "/LOG=PATH" (a log of
// each step) and "/?" (the usage text), each at most once, names in any
// case. Anything else refuses the whole line. Arguments are separated by
// blanks; double quotes group blanks into an argument and are dropped, so
// /LOG="C:\a b\u.log" names a path with a blank. No system call is made
// here.
class CommandLineOptions
{
public:
    enum Mode
    {
        FirstRun,            // run the removal with the options below
        ShowUsage,           // "/?" among otherwise valid options
        Refused,             // an argument that is no option, or one given twice
        RelaunchedCleanup,   // the cleanup copy's line, for RelaunchArguments
    };

    static CommandLineOptions Parse(const std::wstring& commandLine);

    Mode GetMode() const { return m_Mode; }
    // No argument at all: the run a person starts from the system's lists.
    bool IsBare() const { return m_bBare; }
    bool IsSilent() const { return m_bSilent; }
    // Empty when no log was asked for.
    const std::wstring& LogPath() const { return m_LogPath; }
    // The argument that refused the line, as it was given. A refused line
    // is silent when it holds "/S" anywhere.
    const std::wstring& Offending() const { return m_Offending; }

private:
    CommandLineOptions();

    bool Take(const std::wstring& argument);

    Mode m_Mode;
    bool m_bSilent;
    bool m_bUsage;
    bool m_bLogGiven;
    bool m_bBare;
    std::wstring m_LogPath;
    std::wstring m_Offending;
};

#endif
