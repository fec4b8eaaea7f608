#include "ReportBox.h"

#include "RemovalReport.h"
#include "Resource.h"
#include "StringTable.h"

#include <string>

namespace
{
// A box taller than the screen would hide its own button.
const size_t kLinesPerList = 15;
}

void ShowRemovalReport(HINSTANCE hInstance, const RemovalReport& report)
{
    if (report.IsEmpty())
        return;
    const StringTable strings(hInstance);
    RemovalReport::Wording wording;
    wording.notRemoved = strings.Text(IDS_NOT_REMOVED);
    wording.atRestart = strings.Text(IDS_AT_RESTART);
    wording.refused = strings.Text(IDS_FOLDER_REFUSED);
    wording.more = strings.Text(IDS_MORE_ENTRIES);
    const std::wstring caption = strings.Text(IDS_APP_TITLE);
    // The closed main window left its quit message in this thread's queue;
    // the box's own message loop would take it and end the box at once.
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    MessageBoxW(nullptr, report.Text(wording, kLinesPerList).c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}
