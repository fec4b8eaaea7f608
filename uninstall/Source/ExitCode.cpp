#include "ExitCode.h"

#include "RemovalReport.h"

ExitCode::Value ExitCode::Of(const RemovalReport& report)
{
    // What stays for good outweighs what goes at restart: a restart would
    // not finish the removal.
    if (report.LeftAnything())
        return Left;
    if (report.ScheduledAnything())
        return RestartNeeded;
    return Removed;
}
