#ifndef ZYM_CONNECTIONSTATE_H
#define ZYM_CONNECTIONSTATE_H

// How far the component's background thread has come with its connection.
enum class ConnectionState
{
    // No thread runs; ConnectToServer starts one.
    Idle,
    // The thread connects and logs in.
    Connecting,
    // The receive loop runs.
    Listening,
    // The receive loop has ended, or the connect failed; the thread is
    // finishing.
    Closing,
    // The host quit while the thread runs: it ends without reporting
    // anything more.
    GivenUp,
    // Closing or given up, and the host asked for a new connection since:
    // the thread makes it once it is done with the old one.
    ConnectAgain
};

#endif
