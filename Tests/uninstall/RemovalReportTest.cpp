#include "RemovalReport.h"

#include <gtest/gtest.h>

namespace
{
RemovalReport::Wording Words()
{
    RemovalReport::Wording wording;
    wording.notRemoved = L"Stays:";
    wording.atRestart = L"At restart:";
    wording.refused = L"Refused:";
    wording.more = L"... and %u more";
    return wording;
}

TEST(RemovalReport, IsEmptyAfterAFullySuccessfulRun)
{
    const RemovalReport report;
    EXPECT_TRUE(report.IsEmpty());
    EXPECT_EQ(L"", report.Text(Words(), 5));
}

TEST(RemovalReport, ListsEachKindUnderItsHeadingAndCountsWhatDoesNotFit)
{
    RemovalReport report;
    report.AtRestart(L"D:\\inst\\held.dll");
    report.NotRemoved(L"D:\\inst\\a");
    report.NotRemoved(L"D:\\inst\\b");
    report.NotRemoved(L"D:\\inst\\c");
    report.FolderRefused(L"C:\\Windows\\");
    EXPECT_FALSE(report.IsEmpty());
    EXPECT_TRUE(report.HasAtRestart(L"D:\\inst\\held.dll"));
    EXPECT_FALSE(report.HasNotRemoved(L"D:\\inst\\held.dll"));
    EXPECT_EQ(L"Refused:\r\nC:\\Windows\\\r\n\r\n"
              L"Stays:\r\nD:\\inst\\a\r\nD:\\inst\\b\r\n... and 1 more\r\n\r\n"
              L"At restart:\r\nD:\\inst\\held.dll",
              report.Text(Words(), 2));
}
}
