#ifndef UNINSTALL_COMMANDLINETEXT_H
#define UNINSTALL_COMMANDLINETEXT_H

#include <string>

// The system's rules for the start of a command line, shared by the option
// parser of the first run and the relaunch line of the cleanup copy.

// A blank between arguments: space or tab.
bool IsCommandLineBlank(wchar_t c);

// Where the program name ends: quoted up to the next quote, else up to the
// first blank.
size_t SkipProgramName(const std::wstring& line);

#endif
