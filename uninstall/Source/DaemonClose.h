#ifndef UNINSTALL_DAEMONCLOSE_H
#define UNINSTALL_DAEMONCLOSE_H

// Asks the product's daemon window, when present and enabled, to close, and
// waits until it has handled the request.
void CloseDaemon();

#endif
