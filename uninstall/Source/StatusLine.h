#ifndef UNINSTALL_STATUSLINE_H
#define UNINSTALL_STATUSLINE_H

#include "RemovalEvents.h"
#include "StringTable.h"

#include <windows.h>

#include <string>

// The line of text above the progress bar: the current step and the item
// being worked on, in the words of the program's string table. Each change
// lets the window handle its pending messages, so that it repaints and
// answers while files are deleted.
class StatusLine final : public RemovalEvents
{
public:
    StatusLine(HINSTANCE hInstance, HWND mainWindow);

    void StepStarted(Step step) override;
    void Noted(Event event, const std::wstring& item) override;

private:
    StatusLine(const StatusLine&) = delete;
    StatusLine& operator=(const StatusLine&) = delete;

    void Show(const std::wstring& text);

    StringTable m_Strings;
    HWND m_hLine;   // a child of the main window, destroyed with it
    std::wstring m_Step;
};

#endif
