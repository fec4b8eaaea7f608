#ifndef UNINSTALL_RELAUNCHARGUMENTS_H
#define UNINSTALL_RELAUNCHARGUMENTS_H

#include <string>

// The command line of the relaunched cleanup, written by the first run as
// "\"%s\" %d \"%s\" \"%s\"": the copy's path, the first process's handle, its
// program file and the install folder. Paths never contain a double quote,
// so a quoted argument simply runs to the next one; a backslash before the
// closing quote (the install folder's own) is part of the path. No system
// call is made here.
class RelaunchArguments
{
public:
    RelaunchArguments();

    // The line the first run starts its copy with; empty when a path holds
    // a double quote, which the line could not carry.
    static std::wstring Format(const std::wstring& copy, unsigned long processHandle,
                               const std::wstring& programFile, const std::wstring& installFolder);

    // True only for exactly three arguments after the program: a decimal
    // handle value and two paths shorter than maxPath.
    bool Parse(const std::wstring& commandLine);

    unsigned long ProcessHandleValue() const { return m_nProcessHandle; }
    const std::wstring& ProgramFile() const { return m_ProgramFile; }
    const std::wstring& InstallFolder() const { return m_InstallFolder; }
    // The install folder without its trailing backslash; a folder given
    // without one is taken whole.
    std::wstring FolderToRemove() const;

    static const size_t maxPath = 260;

private:
    bool ParseHandle(const std::wstring& text);

    unsigned long m_nProcessHandle;
    std::wstring m_ProgramFile;
    std::wstring m_InstallFolder;
};

#endif
