#include "DebugOutputCapture.h"
#include "FolderRemoval.h"
#include "SafeInstallFolder.h"
#include "ScratchTree.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

namespace
{
size_t CountOf(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

std::string LinkFixture()
{
    const char* folder = getenv("ZYM_LINK_FIXTURE");
    return folder != nullptr ? folder : "";
}

TEST(RemoveFolderContents, EmptiesNestedFoldersDepthFirstAndKeepsTheFolderItself)
{
    const ScratchTree tree("D:\\work\\nested");
    tree.AddFile("top.txt");
    tree.AddFile("sub\\a.txt");
    tree.AddFile("sub\\deeper\\b.txt");
    tree.AddFile("sub\\deeper\\deepest\\c.txt");
    tree.AddFolder("empty");

    RemoveFolderContents(tree.Root().c_str());

    EXPECT_TRUE(tree.Exists(""));
    EXPECT_FALSE(tree.Exists("top.txt"));
    EXPECT_FALSE(tree.Exists("sub"));
    EXPECT_FALSE(tree.Exists("empty"));
}

TEST(RemoveFolderContents, KeepsDotNamedFoldersWholeWhereverTheyAre)
{
    const ScratchTree tree("D:\\work\\dotted");
    tree.AddFile(".config\\settings.ini");
    tree.AddFile(".config\\inner\\more.ini");
    tree.AddFile("sub\\.git\\HEAD");
    tree.AddFile("sub\\gone.txt");
    tree.AddFile(".profile");

    RemoveFolderContents(tree.Root().c_str());

    EXPECT_TRUE(tree.Exists(".config\\settings.ini"));
    EXPECT_TRUE(tree.Exists(".config\\inner\\more.ini"));
    EXPECT_TRUE(tree.Exists("sub\\.git\\HEAD"));
    EXPECT_FALSE(tree.Exists("sub\\gone.txt"));
    // Only folders are protected by a leading dot, files are not.
    EXPECT_FALSE(tree.Exists(".profile"));
}

TEST(RemoveFolderContents, KeepsEveryPathContainingTheProgramNameAndReportsEveryFile)
{
    const ScratchTree tree("D:\\work\\program");
    tree.AddFile("uninstall.exe");
    tree.AddFile("uninstall.exe.old\\note.txt");
    tree.AddFile("bin\\Uninstall.exe");
    tree.AddFile("data\\x.bin");

    DebugOutputCapture capture;
    RemoveFolderContents(tree.Root().c_str());
    const std::string text = capture.Text();

    EXPECT_TRUE(tree.Exists("uninstall.exe"));
    EXPECT_TRUE(tree.Exists("uninstall.exe.old\\note.txt"));
    // The test is case-sensitive.
    EXPECT_FALSE(tree.Exists("bin"));
    EXPECT_FALSE(tree.Exists("data"));

    EXPECT_NE(std::string::npos, text.find("Deleting " + tree.PathOf("uninstall.exe") + "\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("Deleting " + tree.PathOf("uninstall.exe.old\\note.txt") + "\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("Deleting " + tree.PathOf("data\\x.bin") + "\r\n")) << text;
    EXPECT_EQ(4u, CountOf(text, "Deleting ")) << text;
}

TEST(RemoveFolderContents, RemovesALinkWithoutEnteringIt)
{
    const std::string fixture = LinkFixture();
    ASSERT_FALSE(fixture.empty()) << "ZYM_LINK_FIXTURE names the prepared link fixture";
    const ScratchTree tree(fixture + "\\tree");
    ASSERT_TRUE(tree.Exists("own.txt"));
    ASSERT_TRUE(tree.Exists("link\\precious.txt"));
    const ScratchTree outside(fixture + "\\outside");

    RemoveFolderContents(tree.Root().c_str());

    EXPECT_FALSE(tree.Exists("own.txt"));
    EXPECT_TRUE(outside.Exists("precious.txt"));
    EXPECT_TRUE(outside.Exists("sub\\more.txt"));
}

TEST(RemoveFolderContents, DoesNothingForAFolderThatCannotBeListed)
{
    const ScratchTree tree("D:\\work\\absent-parent");
    tree.AddFile("stays.txt");
    RemoveFolderContents((tree.Root() + "\\missing").c_str());
    EXPECT_TRUE(tree.Exists("stays.txt"));
}

TEST(IsSafeInstallFolder, RefusesLinksAndThisMachinesSystemAndProfileFolders)
{
    const std::string fixture = LinkFixture();
    ASSERT_FALSE(fixture.empty());
    EXPECT_TRUE(IsSafeInstallFolder((fixture + "\\tree\\").c_str()));
    EXPECT_FALSE(IsSafeInstallFolder((fixture + "\\tree\\link").c_str()));
    EXPECT_FALSE(IsSafeInstallFolder((fixture + "\\tree\\link\\sub\\").c_str()));

    char windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    EXPECT_FALSE(IsSafeInstallFolder(windows));
    EXPECT_TRUE(IsSafeInstallFolder((std::string(windows) + "\\QuillMarsh").c_str()));

    const char* profile = getenv("USERPROFILE");
    ASSERT_NE(nullptr, profile);
    EXPECT_FALSE(IsSafeInstallFolder(profile));
    const std::string profiles = std::string(profile).substr(0, std::string(profile).rfind('\\'));
    EXPECT_FALSE(IsSafeInstallFolder((profiles + "\\Someone Else\\").c_str()));

    const char* programFiles = getenv("ProgramFiles");
    ASSERT_NE(nullptr, programFiles);
    EXPECT_FALSE(IsSafeInstallFolder(programFiles));
    EXPECT_TRUE(IsSafeInstallFolder((std::string(programFiles) + "\\QuillMarsh\\").c_str()));
    EXPECT_FALSE(IsSafeInstallFolder("D:\\"));
}
}
