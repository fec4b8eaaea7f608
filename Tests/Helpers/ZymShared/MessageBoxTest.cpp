#include "ZymShared.h"

#include "MessageBoxStrings.h"

#include <gtest/gtest.h>

#include <string.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

// Watches for a top-level window with the given caption for a bounded time;
// when one shows up, reads its text and closes it with OK.
class BoxWatcher {
public:
    BoxWatcher(const char* caption, int attempts)
        : m_thread([this, caption, attempts] { Watch(caption, attempts); })
    {
    }
    ~BoxWatcher() { Stop(); }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    void Stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    bool seen() const { return m_seen; }
    const std::string& text() const { return m_text; }

private:
    void Watch(const char* caption, int attempts)
    {
        for (int i = 0; i < attempts && !m_stop; ++i) {
            HWND box = FindWindowA(nullptr, caption);
            if (box != nullptr) {
                char text[256] = {};
                GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
                m_text = text;
                m_seen = true;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(20);
        }
    }

    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_seen{false};
    std::string m_text;
    std::thread m_thread;
};

TEST(ZymMessageBoxTest, StringFromTheTableIsShownWithTheCaption)
{
    char caption[] = "ZymShared box test";
    BoxWatcher watcher(caption, 500);
    char text[128];
    const int result = ZymMessageBox(GetModuleHandleA(nullptr), IDS_BOX_TEXT, text, sizeof(text),
                                     nullptr, caption, MB_OKCANCEL, 0, 0);
    watcher.Stop();
    ASSERT_TRUE(watcher.seen()) << "no message box appeared";
    EXPECT_EQ(watcher.text(), "Text from the string table");
    EXPECT_STREQ(text, "Text from the string table");
    EXPECT_EQ(result, IDOK);
}

TEST(ZymMessageBoxTest, TextIsCutToTheBuffer)
{
    char caption[] = "ZymShared cut test";
    BoxWatcher watcher(caption, 500);
    char text[16];
    memset(text, '#', sizeof(text));
    const int result = ZymMessageBox(GetModuleHandleA(nullptr), IDS_BOX_TEXT, text, 5, nullptr,
                                     caption, MB_OK, 0, 0);
    watcher.Stop();
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(watcher.text(), "Text");
    EXPECT_EQ(text[5], '#');
}

TEST(ZymMessageBoxTest, MissingStringShowsNothingAndGivesZero)
{
    char caption[] = "ZymShared missing test";
    // The call returns at once when it shows nothing; a box would be found
    // and closed within the watch.
    BoxWatcher watcher(caption, 50);
    char text[128] = "unchanged";
    const int result = ZymMessageBox(GetModuleHandleA(nullptr), IDS_NOT_IN_TABLE, text,
                                     sizeof(text), nullptr, caption, MB_OK, 0, 0);
    Sleep(300);
    watcher.Stop();
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(watcher.seen());
}

} // namespace
