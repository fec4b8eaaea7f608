#ifndef UNINSTALL_USAGETEXT_H
#define UNINSTALL_USAGETEXT_H

#include <string>

class StringTable;

// Tells the caller how the program is started: the usage text, after a
// first line of its own when one is given (why the line was refused). It
// goes to the standard output when the caller gave one (a script that
// redirects it), and into a message box unless silent.
void ShowUsageText(const StringTable& strings, const std::wstring& firstLine, bool silent);

#endif
