#include "ZymShared.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Runs in the sandbox prefix, below D:\paths.
namespace {

void Create(const std::string& path)
{
    std::vector<char> text(path.begin(), path.end());
    text.push_back('\0');
    CreateDirectoryPath(text.data());
}

TEST(CreateDirectoryPathTest, CreatesEachFolderButNotTheFileName)
{
    Create("D:\\paths\\one\\a\\b\\file.txt");
    EXPECT_TRUE(TestFiles::IsFolder("D:\\paths\\one\\a\\b"));
    EXPECT_FALSE(TestFiles::Exists("D:\\paths\\one\\a\\b\\file.txt"));

    Create("D:\\paths\\two\\folder\\");
    EXPECT_TRUE(TestFiles::IsFolder("D:\\paths\\two\\folder"));
}

TEST(CreateDirectoryPathTest, OnlyBackslashesSeparate)
{
    Create("D:\\paths\\three/sub/file.txt");
    EXPECT_FALSE(TestFiles::Exists("D:\\paths\\three"));
}

TEST(CreateDirectoryPathTest, LeadingBackslashCreatesNothing)
{
    char previous[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(sizeof(previous), previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA("D:\\"));
    Create("\\paths-four\\x\\");
    SetCurrentDirectoryA(previous);
    EXPECT_FALSE(TestFiles::Exists("D:\\paths-four"));
}

TEST(CreateDirectoryPathTest, RelativePathsStartInTheCurrentFolder)
{
    ASSERT_TRUE(TestFiles::MakeFolders("D:\\paths\\five"));
    char previous[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(sizeof(previous), previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA("D:\\paths\\five"));
    Create("rel\\inner\\");
    SetCurrentDirectoryA(previous);
    EXPECT_TRUE(TestFiles::IsFolder("D:\\paths\\five\\rel\\inner"));
}

// Every prefix is copied into a 256-byte buffer: a last backslash at index
// 255 still fits with the terminator, one at 256 does not.
TEST(CreateDirectoryPathTest, PathsBeyondTheBufferAreRefusedWhole)
{
    const std::string base = "D:\\paths\\six\\";
    const std::string fits = base + std::string(255 - base.size(), 'f');
    ASSERT_EQ(fits.size(), 255u);
    Create(fits + "\\name");
    EXPECT_TRUE(TestFiles::IsFolder(fits));

    const std::string longer = "D:\\paths\\seven\\" + std::string(300, 'g');
    Create(longer + "\\name");
    EXPECT_FALSE(TestFiles::Exists("D:\\paths\\seven"));
}

} // namespace
