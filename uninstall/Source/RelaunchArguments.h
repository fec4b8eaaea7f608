#ifndef UNINSTALL_RELAUNCHARGUMENTS_H
#define UNINSTALL_RELAUNCHARGUMENTS_H

#include <windows.h>

// The command line of the relaunched cleanup, written by the first run as
// "%s %d \"%s\" \"%s\"": the copy's path, the first process's handle, its
// program file and the install folder. Paths never contain a double quote,
// so a quoted argument simply runs to the next one; a backslash before the
// closing quote (the install folder's own) is part of the path.
class RelaunchArguments
{
public:
    RelaunchArguments();

    // True only for exactly three arguments after the program: a decimal
    // handle value and two paths that fit MAX_PATH.
    bool Parse(const char* commandLine);

    HANDLE ProcessHandle() const;
    const char* ProgramFile() const { return m_szProgramFile; }
    const char* InstallFolder() const { return m_szInstallFolder; }
    // The install folder without its trailing backslash; a folder given
    // without one is taken whole.
    const char* FolderToRemove() const { return m_szFolderToRemove; }

private:
    bool ParseHandle(const char* text);

    unsigned long m_nProcessHandle;
    char m_szProgramFile[MAX_PATH];
    char m_szInstallFolder[MAX_PATH];
    char m_szFolderToRemove[MAX_PATH];
};

#endif
