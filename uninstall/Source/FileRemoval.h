#ifndef UNINSTALL_FILEREMOVAL_H
#define UNINSTALL_FILEREMOVAL_H

#include <string>

class RemovalReport;

enum RemovalOutcome
{
    Removed,
    ScheduledAtRestart,
    LeftInPlace,
};

// Deletes a file, retrying briefly while another program holds it. What
// still cannot be deleted is scheduled for deletion at the next restart
// where the rights allow it, and otherwise left; either way the report
// names it. A "Deleting " debug line is written only for a deleted file.
RemovalOutcome RemoveFile(const std::wstring& path, RemovalReport& report);

// Removes an empty folder; one that cannot be removed is scheduled for
// removal at the next restart when scheduleOnFailure is set (something in
// it goes then too), and is named in the report either way.
RemovalOutcome RemoveEmptyFolder(const std::wstring& path, bool scheduleOnFailure, RemovalReport& report);

#endif
