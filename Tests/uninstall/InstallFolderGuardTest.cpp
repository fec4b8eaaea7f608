#include "InstallFolderGuard.h"

#include <gtest/gtest.h>

namespace
{
class InstallFolderGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        guard.AddProtectedFolder("C:\\Windows");
        guard.AddProtectedFolder("C:\\Program Files");
        guard.AddProtectedFolder("E:\\Apps\\Program Files (x86)\\");
        guard.AddProfilesFolder("C:\\Users");
    }

    InstallFolderGuard guard;
};

TEST_F(InstallFolderGuardTest, RefusesRootsOfDrivesAndShares)
{
    EXPECT_FALSE(guard.IsRemovable("D:\\"));
    EXPECT_FALSE(guard.IsRemovable("d:"));
    EXPECT_FALSE(guard.IsRemovable("D:\\\\"));
    EXPECT_FALSE(guard.IsRemovable("D:/"));
    EXPECT_FALSE(guard.IsRemovable("\\\\server\\share"));
    EXPECT_FALSE(guard.IsRemovable("\\\\server\\share\\"));
    EXPECT_FALSE(guard.IsRemovable("\\\\server"));
    EXPECT_TRUE(guard.IsRemovable("\\\\server\\share\\QuillMarsh\\"));
}

TEST_F(InstallFolderGuardTest, RefusesProtectedFoldersAndEveryFolderAboveThem)
{
    EXPECT_FALSE(guard.IsRemovable("C:\\Windows"));
    EXPECT_FALSE(guard.IsRemovable("c:\\WINDOWS\\"));
    EXPECT_FALSE(guard.IsRemovable("C:/Windows"));
    EXPECT_FALSE(guard.IsRemovable("C:\\Program Files\\"));
    EXPECT_FALSE(guard.IsRemovable("E:\\Apps\\Program Files (x86)"));
    EXPECT_FALSE(guard.IsRemovable("E:\\Apps"));
    EXPECT_FALSE(guard.IsRemovable("C:\\Users\\"));
}

TEST_F(InstallFolderGuardTest, RefusesEveryUsersProfileButNotWhatLiesBelow)
{
    EXPECT_FALSE(guard.IsRemovable("C:\\Users\\alice"));
    EXPECT_FALSE(guard.IsRemovable("C:\\users\\Bob\\"));
    EXPECT_TRUE(guard.IsRemovable("C:\\Users\\alice\\AppData\\Local\\QuillMarsh\\"));
}

TEST_F(InstallFolderGuardTest, AllowsTheFoldersTheProductInstallsItselfInto)
{
    EXPECT_TRUE(guard.IsRemovable("C:\\Program Files\\QuillMarsh\\"));
    EXPECT_TRUE(guard.IsRemovable("c:\\program files\\QuillMarsh"));
    EXPECT_TRUE(guard.IsRemovable("C:\\Windows\\QuillMarsh"));
    EXPECT_TRUE(guard.IsRemovable("D:\\Games\\Skelvane\\"));
    // Sharing a prefix of letters is not lying above a protected folder.
    EXPECT_TRUE(guard.IsRemovable("C:\\Program"));
    EXPECT_TRUE(guard.IsRemovable("C:\\Windows2\\QuillMarsh"));
}

TEST_F(InstallFolderGuardTest, RefusesTextsThatAreNotPlainFullPaths)
{
    EXPECT_FALSE(guard.IsRemovable(""));
    EXPECT_FALSE(guard.IsRemovable(nullptr));
    EXPECT_FALSE(guard.IsRemovable("QuillMarsh\\"));
    EXPECT_FALSE(guard.IsRemovable("\\QuillMarsh"));
    EXPECT_FALSE(guard.IsRemovable("D:QuillMarsh"));
    EXPECT_FALSE(guard.IsRemovable("C:\\Program Files\\QuillMarsh\\..\\.."));
    EXPECT_FALSE(guard.IsRemovable("C:\\Program Files\\.\\QuillMarsh"));
    EXPECT_FALSE(guard.IsRemovable("C:\\Program Files\\\\QuillMarsh"));
    // Windows drops trailing dots and blanks: these name the Windows folder.
    EXPECT_FALSE(guard.IsRemovable("C:\\Windows."));
    EXPECT_FALSE(guard.IsRemovable("C:\\Windows \\"));
    EXPECT_FALSE(guard.IsRemovable("\\\\?\\C:\\Program Files\\QuillMarsh"));
    EXPECT_FALSE(guard.IsRemovable("\\\\.\\C:\\QuillMarsh"));
}

TEST(InstallFolderGuardNormalize, GivesOneComparableForm)
{
    char out[260];
    ASSERT_TRUE(InstallFolderGuard::Normalize("c:/Program Files/QuillMarsh\\\\", out, sizeof out));
    EXPECT_STREQ("C:\\PROGRAM FILES\\QUILLMARSH", out);
    ASSERT_TRUE(InstallFolderGuard::Normalize("d:\\", out, sizeof out));
    EXPECT_STREQ("D:", out);
    ASSERT_TRUE(InstallFolderGuard::Normalize("\\\\srv\\Share\\x", out, sizeof out));
    EXPECT_STREQ("\\\\SRV\\SHARE\\X", out);
}

TEST(InstallFolderGuardNormalize, RefusesATextLongerThanItsBuffer)
{
    // Eight characters and the terminator fit; nine do not.
    char out[9];
    EXPECT_FALSE(InstallFolderGuard::Normalize("C:\\QuillMarsh", out, sizeof out));
    EXPECT_FALSE(InstallFolderGuard::Normalize("C:\\Quill1", out, sizeof out));
    EXPECT_TRUE(InstallFolderGuard::Normalize("C:\\Quill", out, sizeof out));
}
}
