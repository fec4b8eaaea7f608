#include "RelaunchArguments.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
TEST(RelaunchArguments, ReadsTheLineTheFirstRunWrites)
{
    RelaunchArguments arguments;
    ASSERT_TRUE(arguments.Parse(
        "C:\\Temp\\Del1A.tmp 124 \"C:\\Program Files\\QuillMarsh\\uninstall.exe\" \"C:\\Program Files\\QuillMarsh\\\""));
    EXPECT_EQ(reinterpret_cast<HANDLE>(124), arguments.ProcessHandle());
    EXPECT_STREQ("C:\\Program Files\\QuillMarsh\\uninstall.exe", arguments.ProgramFile());
    EXPECT_STREQ("C:\\Program Files\\QuillMarsh\\", arguments.InstallFolder());
    EXPECT_STREQ("C:\\Program Files\\QuillMarsh", arguments.FolderToRemove());
}

TEST(RelaunchArguments, KeepsTheLastCharacterWhenItIsNoBackslash)
{
    RelaunchArguments arguments;
    ASSERT_TRUE(arguments.Parse("\"C:\\a b\\Del2.tmp\" 8 \"C:\\windows\\uninstall.exe\" \"C:\\windows\\QuillMarsh\""));
    EXPECT_STREQ("C:\\windows\\QuillMarsh", arguments.FolderToRemove());
    EXPECT_EQ(reinterpret_cast<HANDLE>(8), arguments.ProcessHandle());
}

TEST(RelaunchArguments, RefusesAnyOtherNumberOfArguments)
{
    RelaunchArguments arguments;
    EXPECT_FALSE(arguments.Parse("Del.tmp"));
    EXPECT_FALSE(arguments.Parse("Del.tmp 12"));
    EXPECT_FALSE(arguments.Parse("Del.tmp 12 \"D:\\uninstall.exe\""));
    EXPECT_FALSE(arguments.Parse("Del.tmp 12 \"D:\\uninstall.exe\" \"D:\\inst\\\" \"extra\""));
    EXPECT_FALSE(arguments.Parse("Del.tmp 12 \"D:\\uninstall.exe\" \"D:\\inst\\\" x"));
    EXPECT_TRUE(arguments.Parse("Del.tmp 12 \"D:\\uninstall.exe\" \"D:\\inst\\\"  "));
}

TEST(RelaunchArguments, RefusesAHandleThatIsNoPositiveDecimalNumber)
{
    RelaunchArguments arguments;
    EXPECT_FALSE(arguments.Parse("Del.tmp 0 \"D:\\u.exe\" \"D:\\inst\\\""));
    EXPECT_FALSE(arguments.Parse("Del.tmp -1 \"D:\\u.exe\" \"D:\\inst\\\""));
    EXPECT_FALSE(arguments.Parse("Del.tmp 4294967295 \"D:\\u.exe\" \"D:\\inst\\\""));
    EXPECT_FALSE(arguments.Parse("Del.tmp 12a \"D:\\u.exe\" \"D:\\inst\\\""));
    EXPECT_FALSE(arguments.Parse("Del.tmp 99999999999999999999 \"D:\\u.exe\" \"D:\\inst\\\""));
}

TEST(RelaunchArguments, RefusesMalformedQuotingAndPathsTooLongForItsBuffers)
{
    RelaunchArguments arguments;
    EXPECT_FALSE(arguments.Parse("Del.tmp 12 \"D:\\u.exe\" \"D:\\inst\\"));
    EXPECT_FALSE(arguments.Parse("Del.tmp 12 \"D:\\u.exe\"\"D:\\inst\\\""));
    EXPECT_FALSE(arguments.Parse("Del.tmp 12 D:\\u\"x.exe \"D:\\inst\\\""));

    const std::string longest(MAX_PATH - 1, 'a');
    const std::string tooLong(MAX_PATH, 'a');
    EXPECT_TRUE(arguments.Parse(("Del.tmp 12 \"D:\\u.exe\" \"" + longest + "\"").c_str()));
    EXPECT_EQ(longest, arguments.InstallFolder());
    EXPECT_FALSE(arguments.Parse(("Del.tmp 12 \"D:\\u.exe\" \"" + tooLong + "\"").c_str()));
    EXPECT_FALSE(arguments.Parse(("Del.tmp 12 \"" + tooLong + "\" \"D:\\inst\\\"").c_str()));
}
}
