#ifndef UNINSTALL_DAEMONCLOSE_H
#define UNINSTALL_DAEMONCLOSE_H

#include "RemovalEvents.h"

// Asks the product's daemon window, when present and enabled, to close, and
// waits until it has handled the request and its process has ended, each
// wait bounded: a hung daemon delays the run by seconds, never for good.
// Says which of ProgramClosed, ProgramStillRunning and ProgramNotRunning
// it was.
RemovalEvents::Event CloseDaemon();

#endif
