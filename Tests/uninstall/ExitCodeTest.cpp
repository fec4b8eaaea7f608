#include "ExitCode.h"
#include "RemovalReport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// What a run recorded, one entry per call: 'L' left, 'R' at restart,
// 'F' refused folder, 'N' a note the box does not list.
ExitCode::Value CodeAfter(const std::string& entries)
{
    RemovalReport report;
    for (char entry : entries)
    {
        if (entry == 'L')
            report.NotRemoved(L"D:\\inst\\a");
        else if (entry == 'R')
            report.AtRestart(L"D:\\inst\\b");
        else if (entry == 'F')
            report.FolderRefused(L"C:\\Windows\\");
        else
            report.Note(RemovalEvents::Retrying, L"D:\\inst\\c");
    }
    return ExitCode::Of(report);
}

TEST(ExitCode, LeftOutweighsRestartWhichOutweighsRemoved)
{
    const struct
    {
        const char* entries;
        ExitCode::Value code;
    } cases[] = {
        { "", ExitCode::Removed },
        { "NNN", ExitCode::Removed },
        { "R", ExitCode::RestartNeeded },
        { "NRN", ExitCode::RestartNeeded },
        { "L", ExitCode::Left },
        { "RL", ExitCode::Left },
        { "LR", ExitCode::Left },
        { "F", ExitCode::Left },
        { "FR", ExitCode::Left },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.code, CodeAfter(c.entries)) << "entries: " << c.entries;
    EXPECT_EQ(0, static_cast<int>(ExitCode::Removed));
    EXPECT_EQ(1, static_cast<int>(ExitCode::Left));
    EXPECT_EQ(2, static_cast<int>(ExitCode::Refused));
    EXPECT_EQ(3010, static_cast<int>(ExitCode::RestartNeeded));
}

class Recorder final : public RemovalEvents
{
public:
    void StepStarted(Step step) override { seen.push_back(L"step " + std::to_wstring(step)); }
    void Noted(Event event, const std::wstring& item) override
    {
        seen.push_back(std::to_wstring(event) + L" " + item);
    }
    std::vector<std::wstring> seen;
};

// The log and the window learn of every entry, also of those the box lists,
// in the order of the run, and only while they follow it.
TEST(RemovalReport, FollowersSeeEveryEntryInOrderWhileTheyFollow)
{
    RemovalReport report;
    Recorder first;
    Recorder second;
    report.Note(RemovalEvents::FileRemoved, L"before");
    report.Follow(first);
    report.Follow(second);
    report.Step(RemovalEvents::RemovingFiles);
    report.Note(RemovalEvents::FileRemoved, L"a");
    report.AtRestart(L"b");
    report.Unfollow(second);
    report.NotRemoved(L"c");
    report.FolderRefused(L"d");
    const std::vector<std::wstring> all = {
        L"step " + std::to_wstring(RemovalEvents::RemovingFiles),
        std::to_wstring(RemovalEvents::FileRemoved) + L" a",
        std::to_wstring(RemovalEvents::ScheduledAtRestart) + L" b",
        std::to_wstring(RemovalEvents::LeftInPlace) + L" c",
        std::to_wstring(RemovalEvents::FolderRefused) + L" d",
    };
    EXPECT_EQ(all, first.seen);
    EXPECT_EQ(std::vector<std::wstring>(all.begin(), all.begin() + 3), second.seen);
}
}
