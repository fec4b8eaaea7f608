#include "RelaunchArguments.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
TEST(RelaunchArguments, ReadsTheLineTheFirstRunWritesAlsoWithBlanksInEveryPath)
{
    // A temporary folder with a blank and no short name: the program part
    // must be quoted for the line to parse.
    const std::wstring line = RelaunchArguments::Format(L"C:\\Users\\Ann Lee\\Temp\\DelA1\\DelA1.tmp", 124,
                                                        L"C:\\Program Files\\QuillMarsh\\uninstall.exe",
                                                        L"C:\\Program Files\\QuillMarsh\\");
    EXPECT_EQ(L"\"C:\\Users\\Ann Lee\\Temp\\DelA1\\DelA1.tmp\" 124 \"C:\\Program Files\\QuillMarsh\\uninstall.exe\" "
              L"\"C:\\Program Files\\QuillMarsh\\\"",
              line);
    RelaunchArguments arguments;
    ASSERT_TRUE(arguments.Parse(line));
    EXPECT_EQ(124ul, arguments.ProcessHandleValue());
    EXPECT_EQ(L"C:\\Program Files\\QuillMarsh\\uninstall.exe", arguments.ProgramFile());
    EXPECT_EQ(L"C:\\Program Files\\QuillMarsh\\", arguments.InstallFolder());
    EXPECT_EQ(L"C:\\Program Files\\QuillMarsh", arguments.FolderToRemove());

    EXPECT_EQ(L"", RelaunchArguments::Format(L"C:\\T\\D.tmp", 1, L"C:\\a\"b.exe", L"C:\\x\\"));
}

TEST(RelaunchArguments, KeepsTheLastCharacterWhenItIsNoBackslash)
{
    RelaunchArguments arguments;
    ASSERT_TRUE(arguments.Parse(L"\"C:\\a b\\Del2.tmp\" 8 \"C:\\windows\\uninstall.exe\" \"C:\\windows\\QuillMarsh\""));
    EXPECT_EQ(L"C:\\windows\\QuillMarsh", arguments.FolderToRemove());
    EXPECT_EQ(8ul, arguments.ProcessHandleValue());
}

TEST(RelaunchArguments, RefusesAnyOtherNumberOfArguments)
{
    RelaunchArguments arguments;
    EXPECT_FALSE(arguments.Parse(L"Del.tmp"));
    EXPECT_FALSE(arguments.Parse(L"Del.tmp 12"));
    EXPECT_FALSE(arguments.Parse(L"Del.tmp 12 \"D:\\uninstall.exe\""));
    EXPECT_FALSE(arguments.Parse(L"Del.tmp 12 \"D:\\uninstall.exe\" \"D:\\inst\\\" \"extra\""));
    EXPECT_FALSE(arguments.Parse(L"Del.tmp 12 \"D:\\uninstall.exe\" \"D:\\inst\\\" x"));
    EXPECT_TRUE(arguments.Parse(L"Del.tmp 12 \"D:\\uninstall.exe\" \"D:\\inst\\\"  "));
}

TEST(RelaunchArguments, RefusesAHandleThatIsNoPositiveDecimalNumber)
{
    RelaunchArguments arguments;
    EXPECT_FALSE(arguments.Parse(L"Del.tmp 0 \"D:\\u.exe\" \"D:\\inst\\\""));
    EXPECT_FALSE(arguments.Parse(L"Del.tmp -1 \"D:\\u.exe\" \"D:\\inst\\\""));
    EXPECT_FALSE(arguments.Parse(L"Del.tmp 4294967295 \"D:\\u.exe\" \"D:\\inst\\\""));
    EXPECT_FALSE(arguments.Parse(L"Del.tmp 12a \"D:\\u.exe\" \"D:\\inst\\\""));
    EXPECT_FALSE(arguments.Parse(L"Del.tmp 99999999999999999999 \"D:\\u.exe\" \"D:\\inst\\\""));
}

TEST(RelaunchArguments, RefusesMalformedQuotingAndPathsTooLongForItsBuffers)
{
    RelaunchArguments arguments;
    EXPECT_FALSE(arguments.Parse(L"Del.tmp 12 \"D:\\u.exe\" \"D:\\inst\\"));
    EXPECT_FALSE(arguments.Parse(L"Del.tmp 12 \"D:\\u.exe\"\"D:\\inst\\\""));
    EXPECT_FALSE(arguments.Parse(L"Del.tmp 12 D:\\u\"x.exe \"D:\\inst\\\""));

    const std::wstring longest(RelaunchArguments::maxPath - 1, L'a');
    const std::wstring tooLong(RelaunchArguments::maxPath, L'a');
    EXPECT_TRUE(arguments.Parse(L"Del.tmp 12 \"D:\\u.exe\" \"" + longest + L"\""));
    EXPECT_EQ(longest, arguments.InstallFolder());
    EXPECT_FALSE(arguments.Parse(L"Del.tmp 12 \"D:\\u.exe\" \"" + tooLong + L"\""));
    EXPECT_FALSE(arguments.Parse(L"Del.tmp 12 \"" + tooLong + L"\" \"D:\\inst\\\""));
}
}
