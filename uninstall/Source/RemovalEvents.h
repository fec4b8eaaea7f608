#ifndef UNINSTALL_REMOVALEVENTS_H
#define UNINSTALL_REMOVALEVENTS_H

#include <string>

// What a run does, step by step and item by item, for those who follow it
// as it happens: the window's line of text and the log. Nothing here
// decides anything; the outcome that counts is the report's.
class RemovalEvents
{
public:
    enum Step
    {
        ClosingProgram,
        CallingPlugins,
        RemovingFiles,
        RemovingKeys,
    };

    enum Event
    {
        ProgramClosed,       // the daemon window was asked to close and its process ended
        ProgramStillRunning, // asked to close, but it did not end in time
        ProgramNotRunning,   // no daemon window, or a disabled one
        PluginStarting,      // a plug-in library is about to be loaded
        PluginCalled,        // its "Uninstall" export ran
        PluginWithoutEntry,  // it loaded, but has no "Uninstall" export
        PluginNotLoaded,     // it could not be loaded, or is no plain file of the folder
        FileRemoved,
        FolderRemoved,
        Retrying,            // in use; tried again after a pause
        ScheduledAtRestart,
        LeftInPlace,
        KeptOnPurpose,       // the program file or a dot-named folder
        FolderRefused,       // the install folder was not emptied at all
        KeyRemoved,
        KeyLeft,
    };

    virtual void StepStarted(Step step) = 0;
    virtual void Noted(Event event, const std::wstring& item) = 0;

protected:
    ~RemovalEvents() = default;
};

#endif
