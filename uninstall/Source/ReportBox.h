#ifndef UNINSTALL_REPORTBOX_H
#define UNINSTALL_REPORTBOX_H

#include <windows.h>

class RemovalReport;

// Ends the first run with one message box that says what could not be
// removed and what goes at the next restart; shows nothing when the report
// is empty. The texts come from the program's string table.
void ShowRemovalReport(HINSTANCE hInstance, const RemovalReport& report);

#endif
