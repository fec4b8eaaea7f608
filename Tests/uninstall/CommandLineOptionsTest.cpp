#include "CommandLineOptions.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct Case
{
    const wchar_t* line;
    CommandLineOptions::Mode mode;
    bool silent;
    const wchar_t* logPath;
    const wchar_t* offending;
};

const CommandLineOptions::Mode kRun = CommandLineOptions::FirstRun;
const CommandLineOptions::Mode kUsage = CommandLineOptions::ShowUsage;
const CommandLineOptions::Mode kRefused = CommandLineOptions::Refused;
const CommandLineOptions::Mode kCleanup = CommandLineOptions::RelaunchedCleanup;

void Check(const Case& c)
{
    SCOPED_TRACE(testing::Message() << "line: " << std::string(c.line, c.line + wcslen(c.line)));
    const CommandLineOptions options = CommandLineOptions::Parse(c.line);
    EXPECT_EQ(c.mode, options.GetMode());
    EXPECT_EQ(c.silent, options.IsSilent());
    EXPECT_EQ(std::wstring(c.logPath), options.LogPath());
    EXPECT_EQ(std::wstring(c.offending), options.Offending());
}

TEST(CommandLineOptions, TakesEachOptionOnceInAnyCaseAndQuotedPaths)
{
    const Case cases[] = {
        { L"uninstall.exe", kRun, false, L"", L"" },
        { L"\"C:\\Program Files\\QuillMarsh\\uninstall.exe\"   ", kRun, false, L"", L"" },
        { L"\"C:\\Program Files\\QuillMarsh\\uninstall.exe\" /S", kRun, true, L"", L"" },
        { L"uninstall.exe /s", kRun, true, L"", L"" },
        { L"uninstall.exe -S", kRun, true, L"", L"" },
        { L"uninstall.exe /LOG=D:\\u.log", kRun, false, L"D:\\u.log", L"" },
        { L"uninstall.exe\t/log=\"C:\\a b\\u.log\"\t/S", kRun, true, L"C:\\a b\\u.log", L"" },
        { L"uninstall.exe \"/Log=C:\\logs\\\"", kRun, false, L"C:\\logs\\", L"" },
        { L"uninstall.exe /LOG=D:\\\x65e5\x672c\\u.log", kRun, false, L"D:\\\x65e5\x672c\\u.log", L"" },
        { L"uninstall.exe /?", kUsage, false, L"", L"" },
        { L"uninstall.exe /S /?", kUsage, true, L"", L"" },
        { L"uninstall.exe /? /LOG=x", kUsage, false, L"x", L"" },
    };
    for (const Case& c : cases)
        Check(c);
}

// A refused line names its argument and carries nothing else over, except
// that a "/S" anywhere keeps the refusal silent.
TEST(CommandLineOptions, RefusesUnknownMalformedAndRepeatedOptions)
{
    const Case cases[] = {
        { L"uninstall.exe /X", kRefused, false, L"", L"/X" },
        { L"uninstall.exe /SILENT", kRefused, false, L"", L"/SILENT" },
        { L"uninstall.exe S", kRefused, false, L"", L"S" },
        { L"uninstall.exe /LOG=", kRefused, false, L"", L"/LOG=" },
        { L"uninstall.exe /LOG=\"\"", kRefused, false, L"", L"/LOG=" },
        { L"uninstall.exe /LOG", kRefused, false, L"", L"/LOG" },
        { L"uninstall.exe /LOGD:\\u.log", kRefused, false, L"", L"/LOGD:\\u.log" },
        { L"uninstall.exe /LOG= /S", kRefused, true, L"", L"/LOG=" },
        { L"uninstall.exe /LOG=D:\\u.log /X", kRefused, false, L"", L"/X" },
        { L"uninstall.exe /X /s", kRefused, true, L"", L"/X" },
        { L"uninstall.exe /S /S", kRefused, true, L"", L"/S" },
        { L"uninstall.exe /LOG=a /LOG=b", kRefused, false, L"", L"/LOG=b" },
        { L"uninstall.exe /? /?", kRefused, false, L"", L"/?" },
        { L"uninstall.exe /? /X", kRefused, false, L"", L"/X" },
        { L"uninstall.exe \"\"", kRefused, false, L"", L"" },
        { L"uninstall.exe 0x7", kRefused, false, L"", L"0x7" },
    };
    for (const Case& c : cases)
        Check(c);
}

// Only a run without any argument keeps the exit code it always had.
TEST(CommandLineOptions, IsBareOnlyWithoutAnyArgument)
{
    EXPECT_TRUE(CommandLineOptions::Parse(L"uninstall.exe").IsBare());
    EXPECT_TRUE(CommandLineOptions::Parse(L"\"C:\\Program Files\\QuillMarsh\\uninstall.exe\" \t ").IsBare());
    EXPECT_FALSE(CommandLineOptions::Parse(L"\"C:\\Program Files\\QuillMarsh\\uninstall.exe\" /S").IsBare());
    EXPECT_FALSE(CommandLineOptions::Parse(L"uninstall.exe /LOG=u.log").IsBare());
    EXPECT_FALSE(CommandLineOptions::Parse(L"uninstall.exe /X").IsBare());
    EXPECT_FALSE(CommandLineOptions::Parse(L"uninstall.exe \"\"").IsBare());
}

// The relaunch line is read by its own parser, which refuses what is not
// exactly its form; options after its number are not options.
TEST(CommandLineOptions, LeavesALineThatBeginsWithANumberToTheCleanupCopy)
{
    const Case cases[] = {
        { L"\"C:\\T\\Del1\\Del1.tmp\" 124 \"C:\\a b\\uninstall.exe\" \"C:\\a b\\\"", kCleanup, false, L"", L"" },
        { L"uninstall.exe 7", kCleanup, false, L"", L"" },
        { L"uninstall.exe 7 /S /LOG=x", kCleanup, false, L"", L"" },
    };
    for (const Case& c : cases)
        Check(c);
}
}
