#include "DebugOutputCapture.h"
#include "FolderRemoval.h"
#include "HeldFolder.h"
#include "RemovalReport.h"
#include "SafeInstallFolder.h"
#include "ScratchTree.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <thread>
#include <vector>

namespace
{
size_t CountOf(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::string LinkFixture()
{
    const char* folder = getenv("ZYM_LINK_FIXTURE");
    return folder != nullptr ? folder : "";
}

bool ExistsW(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFileW(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
}

TEST(RemoveFolderContents, EmptiesNestedFoldersDepthFirstAndKeepsTheFolderItself)
{
    const ScratchTree tree("D:\\work\\nested");
    tree.AddFile("top.txt");
    tree.AddFile("sub\\a.txt");
    tree.AddFile("sub\\deeper\\b.txt");
    tree.AddFile("sub\\deeper\\deepest\\c.txt");
    tree.AddFolder("empty");

    RemovalReport report;
    RemoveFolderContents(Wide(tree.Root()), report);

    EXPECT_TRUE(tree.Exists(""));
    EXPECT_FALSE(tree.Exists("top.txt"));
    EXPECT_FALSE(tree.Exists("sub"));
    EXPECT_FALSE(tree.Exists("empty"));
    EXPECT_TRUE(report.IsEmpty());
}

TEST(RemoveFolderContents, KeepsDotNamedFoldersWholeWhereverTheyAre)
{
    const ScratchTree tree("D:\\work\\dotted");
    tree.AddFile(".config\\settings.ini");
    tree.AddFile(".config\\inner\\more.ini");
    tree.AddFile("sub\\.git\\HEAD");
    tree.AddFile("sub\\gone.txt");
    tree.AddFile(".profile");

    RemovalReport report;
    RemoveFolderContents(Wide(tree.Root()), report);

    EXPECT_TRUE(tree.Exists(".config\\settings.ini"));
    EXPECT_TRUE(tree.Exists(".config\\inner\\more.ini"));
    EXPECT_TRUE(tree.Exists("sub\\.git\\HEAD"));
    EXPECT_FALSE(tree.Exists("sub\\gone.txt"));
    // Only folders are protected by a leading dot, files are not.
    EXPECT_FALSE(tree.Exists(".profile"));
    // What is kept on purpose is no failure.
    EXPECT_TRUE(report.IsEmpty());
}

TEST(RemoveFolderContents, KeepsEveryPathContainingTheProgramNameAndReportsOnlyWhatWasDeleted)
{
    const ScratchTree tree("D:\\work\\program");
    tree.AddFile("uninstall.exe");
    tree.AddFile("uninstall.exe.old\\note.txt");
    tree.AddFile("bin\\Uninstall.exe");
    tree.AddFile("data\\x.bin");

    DebugOutputCapture capture;
    RemovalReport report;
    RemoveFolderContents(Wide(tree.Root()), report);
    const std::string text = capture.Text();

    EXPECT_TRUE(tree.Exists("uninstall.exe"));
    EXPECT_TRUE(tree.Exists("uninstall.exe.old\\note.txt"));
    // The test is case-sensitive.
    EXPECT_FALSE(tree.Exists("bin"));
    EXPECT_FALSE(tree.Exists("data"));

    EXPECT_NE(std::string::npos, text.find("Deleting " + tree.PathOf("bin\\Uninstall.exe") + "\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("Deleting " + tree.PathOf("data\\x.bin") + "\r\n")) << text;
    EXPECT_EQ(2u, CountOf(text, "Deleting ")) << text;
    EXPECT_TRUE(report.IsEmpty());
}

// Fullwidth full stops and solidus turn into "../" in the ANSI listing; a
// path built from it would lead beside the folder.
TEST(RemoveFolderContents, NamesThatTheAnsiListingMapsOntoPathSyntaxStayInside)
{
    const ScratchTree tree("D:\\work\\fullwidth\\inst");
    const ScratchTree beside("D:\\work\\fullwidth");
    beside.AddFile("victim\\target.txt");
    beside.AddFile("victim2\\keep.txt");
    const std::wstring root = Wide(tree.Root());
    MakeFileW(root + L"\\\uff0e\uff0e\uff0fvictim\uff0ftarget.txt");
    ASSERT_TRUE(CreateDirectoryW((root + L"\\\uff0e\uff0e\uff0fvictim2").c_str(), nullptr));
    MakeFileW(root + L"\\\uff0e\uff0e\uff0fvictim2\\inner.txt");

    RemovalReport report;
    RemoveFolderContents(root, report);

    EXPECT_TRUE(beside.Exists("victim\\target.txt"));
    EXPECT_TRUE(beside.Exists("victim2\\keep.txt"));
    EXPECT_FALSE(ExistsW(root + L"\\\uff0e\uff0e\uff0fvictim\uff0ftarget.txt"));
    EXPECT_FALSE(ExistsW(root + L"\\\uff0e\uff0e\uff0fvictim2"));
    EXPECT_TRUE(report.IsEmpty());
}

TEST(RemoveFolderContents, RetriesAFileInUseAndSchedulesWhatStaysInUseForRestart)
{
    const ScratchTree tree("D:\\work\\locked");
    tree.AddFile("briefly\\held.txt");
    tree.AddFile("kept\\held.dll");
    tree.AddFile("free.txt");
    const std::wstring briefly = Wide(tree.PathOf("briefly\\held.txt"));
    const std::wstring kept = Wide(tree.PathOf("kept\\held.dll"));
    const HANDLE shortHold = CreateFileW(briefly.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const HANDLE longHold = CreateFileW(kept.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, shortHold);
    ASSERT_NE(INVALID_HANDLE_VALUE, longHold);
    std::thread release([shortHold] {
        Sleep(300);
        CloseHandle(shortHold);
    });

    DebugOutputCapture capture;
    RemovalReport report;
    RemoveFolderContents(Wide(tree.Root()), report);
    release.join();
    CloseHandle(longHold);
    const std::string text = capture.Text();

    EXPECT_FALSE(tree.Exists("briefly"));
    EXPECT_FALSE(tree.Exists("free.txt"));
    EXPECT_TRUE(tree.Exists("kept\\held.dll"));
    EXPECT_TRUE(report.HasAtRestart(kept)) << "the rights to schedule are there in the test prefix";
    EXPECT_TRUE(report.HasAtRestart(Wide(tree.PathOf("kept"))));
    EXPECT_FALSE(report.HasAtRestart(briefly));
    EXPECT_EQ(0u, CountOf(text, "held.dll")) << text;
    EXPECT_EQ(1u, CountOf(text, "Deleting " + tree.PathOf("briefly\\held.txt"))) << text;
}

TEST(RemoveFolderContents, RemovesALinkWithoutEnteringIt)
{
    const std::string fixture = LinkFixture();
    ASSERT_FALSE(fixture.empty()) << "ZYM_LINK_FIXTURE names the prepared link fixture";
    const ScratchTree tree(fixture + "\\tree");
    ASSERT_TRUE(tree.Exists("own.txt"));
    ASSERT_TRUE(tree.Exists("link\\precious.txt"));
    const ScratchTree outside(fixture + "\\outside");

    RemovalReport report;
    RemoveFolderContents(Wide(tree.Root()), report);

    EXPECT_FALSE(tree.Exists("own.txt"));
    EXPECT_TRUE(outside.Exists("precious.txt"));
    EXPECT_TRUE(outside.Exists("sub\\more.txt"));
}

// A folder listed as a plain folder and swapped for a link before it is
// entered: the decision is made on what is there when it is entered.
TEST(RemoveListedFolder, DecidesWhenEnteringAndHoldsTheFolderAgainstASwap)
{
    const std::string fixture = LinkFixture();
    ASSERT_FALSE(fixture.empty());
    const ScratchTree outside(fixture + "\\outside");

    RemovalReport report;
    RemoveListedFolder(Wide(fixture + "\\tree\\link"), report);
    EXPECT_TRUE(outside.Exists("precious.txt"));
    EXPECT_TRUE(outside.Exists("sub\\more.txt"));
    EXPECT_FALSE(HeldFolder(Wide(fixture + "\\tree\\link")).IsPlainFolder());

    const ScratchTree tree("D:\\work\\held");
    tree.AddFile("inner\\a.txt");
    const std::wstring inner = Wide(tree.PathOf("inner"));
    {
        const HeldFolder held(inner);
        ASSERT_TRUE(held.IsPlainFolder());
        EXPECT_FALSE(MoveFileW(inner.c_str(), Wide(tree.PathOf("moved")).c_str()));
    }
    EXPECT_TRUE(MoveFileW(inner.c_str(), Wide(tree.PathOf("moved")).c_str()));
}

TEST(RemoveFolderContents, DoesNothingForAFolderThatCannotBeListed)
{
    const ScratchTree tree("D:\\work\\absent-parent");
    tree.AddFile("stays.txt");
    RemovalReport report;
    RemoveFolderContents(Wide(tree.Root() + "\\missing"), report);
    EXPECT_TRUE(tree.Exists("stays.txt"));
}

struct FolderCase
{
    std::wstring folder;
    InstallFolderGuard::Verdict verdict;
};

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

std::wstring Windows()
{
    wchar_t folder[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length);
}

std::wstring LowerCase(std::wstring text)
{
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c + 32);
    return text;
}

// A program that is not long-path aware gets "path not found" for a path of
// 260 characters or more, and the ordinary form trims a trailing dot or
// blank into another name: either would leave a file in place unreported.
// (The folders stay below the limit: Wine cannot tell the final path of a
// folder past it.)
TEST(RemoveFolderContents, RemovesFilesPastThePathLimitAndNamesEndingInDotsOrBlanks)
{
    const ScratchTree tree("D:\\work\\long");
    tree.AddFile("x");
    const std::wstring root = Wide(tree.Root());
    const std::wstring folder = root + L"\\" + std::wstring(100, L'a') + L"\\" + std::wstring(100, L'b');
    ASSERT_TRUE(CreateDirectoryW((root + L"\\" + std::wstring(100, L'a')).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring deep = L"\\\\?\\" + folder + L"\\" + std::wstring(80, L'c') + L".dat";
    ASSERT_GT(deep.size() - 4, static_cast<size_t>(MAX_PATH));
    MakeFileW(deep);
    MakeFileW(L"\\\\?\\" + root + L"\\x.");
    MakeFileW(L"\\\\?\\" + root + L"\\y ");
    ASSERT_TRUE(ExistsW(deep));
    ASSERT_TRUE(ExistsW(L"\\\\?\\" + root + L"\\x."));

    RemovalReport report;
    RemoveFolderContents(root, report);

    EXPECT_FALSE(ExistsW(deep));
    EXPECT_FALSE(ExistsW(L"\\\\?\\" + folder));
    EXPECT_FALSE(ExistsW(L"\\\\?\\" + root + L"\\x."));
    EXPECT_FALSE(ExistsW(L"\\\\?\\" + root + L"\\y "));
    EXPECT_FALSE(tree.Exists("x"));
    EXPECT_TRUE(tree.Exists(""));
    EXPECT_TRUE(report.IsEmpty());
}

TEST(CheckInstallFolder, RefusesThisMachinesFoldersInEverySpelling)
{
    const std::string fixture = LinkFixture();
    ASSERT_FALSE(fixture.empty());
    const std::wstring windows = Windows();
    const std::wstring drive = windows.substr(0, 3);
    const std::wstring rest = windows.substr(3);
    const char* profile = getenv("USERPROFILE");
    const char* programFiles = getenv("ProgramFiles");
    const char* publicFolder = getenv("PUBLIC");
    ASSERT_NE(nullptr, profile);
    ASSERT_NE(nullptr, programFiles);
    ASSERT_NE(nullptr, publicFolder);
    wchar_t shortForm[MAX_PATH];
    const DWORD shortLength = GetShortPathNameW(Wide(programFiles).c_str(), shortForm, MAX_PATH);

    std::vector<FolderCase> cases = {
        { L"D:\\", InstallFolderGuard::DriveRoot },
        { windows, InstallFolderGuard::KnownFolder },
        { LowerCase(windows) + L"\\", InstallFolderGuard::KnownFolder },
        { windows + L"\\system32\\drivers\\", InstallFolderGuard::InsideWindows },
        { drive.substr(0, 2) + L"/" + rest + L"/system32/", InstallFolderGuard::InsideWindows },
        { windows + L"\\\\system32", InstallFolderGuard::NotAFullPath },
        { windows + L"\\system32\\..\\", InstallFolderGuard::NotAFullPath },
        { windows + L"::$INDEX_ALLOCATION\\", InstallFolderGuard::StreamOrDevice },
        { L"\\\\localhost\\C$\\" + rest + L"\\", InstallFolderGuard::AdministrativeShare },
        { Wide(profile), InstallFolderGuard::KnownFolder },
        { Wide(profile) + L"\\AppData\\Local", InstallFolderGuard::KnownFolder },
        { Wide(profile) + L"\\Desktop\\", InstallFolderGuard::KnownFolder },
        { Wide(publicFolder) + L"\\Documents\\", InstallFolderGuard::KnownFolder },
        { Wide(programFiles), InstallFolderGuard::KnownFolder },
        { drive.substr(0, 2), InstallFolderGuard::NotAFullPath },
        { Wide(fixture + "\\tree\\link"), InstallFolderGuard::ReachedThroughLink },
        { Wide(fixture + "\\tree\\link\\sub\\"), InstallFolderGuard::ReachedThroughLink },
        { L"D:\\work\\no-such-folder\\", InstallFolderGuard::NotFound },
        // This machine's server under other spellings; the shares it offers
        // cannot be listed here, so none of them may be emptied.
        { L"\\\\--1.ipv6-literal.net\\Users\\alice\\Documents", InstallFolderGuard::ShareOfThisMachine },
        { L"\\\\0-0-0-0-0-0-0-1.ipv6-literal.net\\data\\QuillMarsh", InstallFolderGuard::ShareOfThisMachine },
        { L"\\\\--ffff-127.0.0.1.ipv6-literal.net\\data\\QuillMarsh\\",
          InstallFolderGuard::ShareOfThisMachine },
        { L"\\\\127.1\\Users\\alice\\Documents", InstallFolderGuard::ShareOfThisMachine },
        { L"\\\\2130706433\\data\\QuillMarsh", InstallFolderGuard::ShareOfThisMachine },
        { L"\\\\0x7f.1\\data\\QuillMarsh", InstallFolderGuard::ShareOfThisMachine },
        { L"\\\\0177.0.0.1\\data\\QuillMarsh", InstallFolderGuard::ShareOfThisMachine },
        { L"\\\\localhost\\Users\\alice\\Documents", InstallFolderGuard::ShareOfThisMachine },
    };
    if (shortLength > 0 && shortLength < MAX_PATH && Wide(programFiles) != shortForm)
        cases.push_back({ shortForm, InstallFolderGuard::KnownFolder });
    for (const FolderCase& c : cases)
    {
        std::wstring resolved;
        EXPECT_EQ(c.verdict, CheckInstallFolder(c.folder, false, resolved)) << Narrow(c.folder);
        EXPECT_TRUE(resolved.empty()) << Narrow(c.folder);
    }
}

TEST(CheckInstallFolder, ResolvesAnAllowedFolderAndRequiresTheProgramInsideIt)
{
    const ScratchTree tree("D:\\work\\allowed");
    std::wstring resolved;
    EXPECT_EQ(InstallFolderGuard::Removable, CheckInstallFolder(L"d:/work/allowed/", false, resolved));
    EXPECT_EQ(L"D:\\work\\allowed", resolved);
    // This test program lies in D:\, not inside the folder.
    EXPECT_EQ(InstallFolderGuard::ProgramOutside, CheckInstallFolder(L"D:\\work\\allowed\\", true, resolved));
}
}
