#include "AlertWatcher.h"

#include <cstdio>

namespace
{
const DWORD kPollMs = 10;
const int kStaticTextId = 0xFFFF;

// A box is found before its text is filled in; it counts only once the
// dialog shows, which happens after its initialization.
HWND FindShownBox(const char* pszCaption, DWORD nProcessId)
{
    HWND hWindow = nullptr;
    for (int i = 0; i < 64; ++i)
    {
        hWindow = FindWindowExA(nullptr, hWindow, nullptr, pszCaption);
        if (hWindow == nullptr)
            return nullptr;
        DWORD nOwner = 0;
        GetWindowThreadProcessId(hWindow, &nOwner);
        if ((nProcessId == 0 || nOwner == nProcessId) && IsWindowVisible(hWindow) &&
            GetDlgItem(hWindow, kStaticTextId) != nullptr)
            return hWindow;
    }
    return nullptr;
}
}

AlertBox CloseMessageBox(const char* pszCaption, DWORD nTimeoutMs, DWORD nProcessId)
{
    AlertBox box;
    DWORD nStart = GetTickCount();
    HWND hBox = nullptr;
    while (hBox == nullptr && GetTickCount() - nStart < nTimeoutMs)
    {
        hBox = FindShownBox(pszCaption, nProcessId);
        if (hBox == nullptr)
            Sleep(kPollMs);
    }
    if (hBox == nullptr)
        return box;

    box.bFound = true;
    box.shownAt = std::chrono::steady_clock::now();
    char szText[1024] = {0};
    GetDlgItemTextA(hBox, kStaticTextId, szText, static_cast<int>(sizeof szText));
    box.text = szText;

    PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 500 && IsWindow(hBox); ++i)
        Sleep(kPollMs);
    return box;
}

AlertWatcher::AlertWatcher(DWORD nTimeoutMs, const char* pszCaption, DWORD nProcessId)
{
    Start(nTimeoutMs, pszCaption, nProcessId, false);
}

AlertWatcher::AlertWatcher(AlertExpected, DWORD nTimeoutMs)
{
    Start(nTimeoutMs, "Alert!", GetCurrentProcessId(), true);
}

void AlertWatcher::Start(DWORD nTimeoutMs, const char* pszCaption, DWORD nProcessId,
                         bool bEndOnGiveUp)
{
    m_Thread = std::thread([this, nTimeoutMs, pszCaption, nProcessId, bEndOnGiveUp] {
        m_Box = CloseMessageBox(pszCaption, nTimeoutMs, nProcessId);
        if (!m_Box.bFound && bEndOnGiveUp)
        {
            std::fprintf(stderr, "FAILED: no \"%s\" box within %lu ms; the test program ends here\n",
                         pszCaption, static_cast<unsigned long>(nTimeoutMs));
            std::fflush(stderr);
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 1);
        }
    });
}

AlertWatcher::~AlertWatcher()
{
    if (m_Thread.joinable())
        m_Thread.join();
}

const AlertBox& AlertWatcher::Result()
{
    if (m_Thread.joinable())
        m_Thread.join();
    return m_Box;
}
