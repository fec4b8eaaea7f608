#ifndef ZYM_TESTS_ALERTWATCHER_H
#define ZYM_TESTS_ALERTWATCHER_H

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

// What a watcher saw of one message box.
struct AlertBox
{
    bool bFound = false;
    std::string text;
    // When the box was seen on screen.
    std::chrono::steady_clock::time_point shownAt;
};

// Waits up to nTimeoutMs for a visible top-level window with the caption
// that belongs to process nProcessId (0: any process), reads the text of its
// static control (id 0xFFFF), answers it with OK and waits (bounded) until it
// is gone. Needs an X display: without one, MessageBox returns at once and
// nothing is found. Test programs run side by side on one display, so a box
// of another process is left alone unless asked for.
AlertBox CloseMessageBox(const char* pszCaption, DWORD nTimeoutMs, DWORD nProcessId);

// Tag of the watcher for a box that must come.
struct AlertExpected
{
};

// Runs CloseMessageBox on its own thread from construction on, so the code
// under test can show its box on the test's thread. By default it looks for
// an "Alert!" box of the current process.
class AlertWatcher
{
public:
    // Finding no box is a result the test checks.
    explicit AlertWatcher(DWORD nTimeoutMs = 10000, const char* pszCaption = "Alert!",
                          DWORD nProcessId = GetCurrentProcessId());
    // The box must come: a watcher that gives up ends the test program with
    // exit code 1 and says why, since a box that came later would hold the
    // test's thread with nobody left to close it.
    explicit AlertWatcher(AlertExpected, DWORD nTimeoutMs = 10000);
    ~AlertWatcher();

    // Waits for the watcher thread; callable once, later calls return the
    // same result.
    const AlertBox& Result();

private:
    AlertWatcher(const AlertWatcher&) = delete;
    AlertWatcher& operator=(const AlertWatcher&) = delete;

    void Start(DWORD nTimeoutMs, const char* pszCaption, DWORD nProcessId, bool bEndOnGiveUp);

    AlertBox m_Box;
    std::thread m_Thread;
};

#endif
