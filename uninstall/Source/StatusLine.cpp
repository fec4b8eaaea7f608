#include "StatusLine.h"

#include "MessagePause.h"
#include "Resource.h"
#include "StringTable.h"

namespace
{
UINT StepTextId(RemovalEvents::Step step)
{
    switch (step)
    {
    case RemovalEvents::ClosingProgram:
        return IDS_STEP_CLOSING;
    case RemovalEvents::CallingPlugins:
        return IDS_STEP_PLUGINS;
    case RemovalEvents::RemovingFiles:
        return IDS_STEP_FILES;
    case RemovalEvents::RemovingKeys:
        return IDS_STEP_KEYS;
    }
    return IDS_STEP_FILES;
}
}

StatusLine::StatusLine(HINSTANCE hInstance, HWND mainWindow)
    : m_Strings(hInstance)
{
    // Above the bar, as wide; a long path loses its middle, not its name.
    m_hLine = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX
                                  | SS_PATHELLIPSIS,
                              20, 2, 600, 16, mainWindow, nullptr, hInstance, nullptr);
    SendMessageW(m_hLine, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

void StatusLine::StepStarted(Step step)
{
    m_Step = m_Strings.Text(StepTextId(step));
    Show(m_Step);
}

void StatusLine::Noted(Event, const std::wstring& item)
{
    Show(m_Strings.Formatted(IDS_STEP_ITEM, m_Step, item));
}

void StatusLine::Show(const std::wstring& text)
{
    SetWindowTextW(m_hLine, text.c_str());
    PauseWithMessages(0);
}
