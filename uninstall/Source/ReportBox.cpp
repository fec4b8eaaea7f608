#include "ReportBox.h"

#include "RemovalReport.h"
#include "Resource.h"

#include <string>

namespace
{
// A box taller than the screen would hide its own button.
const size_t kLinesPerList = 15;

std::wstring LoadText(HINSTANCE hInstance, UINT id)
{
    wchar_t text[256];
    const int length = LoadStringW(hInstance, id, text, 256);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}
}

void ShowRemovalReport(HINSTANCE hInstance, const RemovalReport& report)
{
    if (report.IsEmpty())
        return;
    RemovalReport::Wording wording;
    wording.notRemoved = LoadText(hInstance, IDS_NOT_REMOVED);
    wording.atRestart = LoadText(hInstance, IDS_AT_RESTART);
    wording.refused = LoadText(hInstance, IDS_FOLDER_REFUSED);
    wording.more = LoadText(hInstance, IDS_MORE_ENTRIES);
    const std::wstring caption = LoadText(hInstance, IDS_APP_TITLE);
    // The closed main window left its quit message in this thread's queue;
    // the box's own message loop would take it and end the box at once.
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    MessageBoxW(nullptr, report.Text(wording, kLinesPerList).c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}
