#include "InstallFolderGuard.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
typedef InstallFolderGuard Guard;

struct Case
{
    const wchar_t* folder;
    Guard::Verdict verdict;
};

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

class InstallFolderGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        guard.SetFallbackName(L"QuillMarsh");
        guard.AddWindowsFolder(L"C:\\Windows");
        guard.AddKnownFolder(L"C:\\Program Files");
        guard.AddKnownFolder(L"E:\\Apps\\Program Files (x86)\\");
        guard.AddKnownFolder(L"C:\\Users\\Public\\Documents");
        guard.AddKnownFolder(L"C:\\Users\\alice\\AppData\\Local");
        guard.AddKnownFolder(L"C:\\Users\\alice\\AppData\\Local\\Programs");
        guard.AddProfilesFolder(L"C:\\Users");
        guard.AddMachineName(L"Workstation");
    }

    void Expect(const Case* cases, size_t count)
    {
        for (size_t i = 0; i < count; ++i)
            EXPECT_EQ(cases[i].verdict, guard.Judge(cases[i].folder)) << Narrow(cases[i].folder);
    }

    InstallFolderGuard guard;
};

TEST_F(InstallFolderGuardTest, RefusesRootsOfDrivesAndSharesAndAdministrativeAndLocalShares)
{
    const Case cases[] = {
        { L"D:\\", Guard::DriveRoot },
        { L"d:", Guard::NotAFullPath },
        { L"D:\\\\", Guard::DriveRoot },
        { L"D:/", Guard::DriveRoot },
        { L"\\\\server\\share", Guard::ShareRoot },
        { L"\\\\server\\share\\", Guard::ShareRoot },
        { L"\\\\server", Guard::ShareRoot },
        { L"\\\\localhost\\C$\\windows\\", Guard::AdministrativeShare },
        { L"\\\\server\\ADMIN$\\QuillMarsh", Guard::AdministrativeShare },
        { L"\\\\127.0.0.1\\data\\QuillMarsh", Guard::ShareOfThisMachine },
        { L"\\\\LOCALHOST\\data\\QuillMarsh", Guard::ShareOfThisMachine },
        { L"\\\\workstation\\data\\QuillMarsh", Guard::ShareOfThisMachine },
        { L"\\\\Workstation.example.net\\data\\QuillMarsh", Guard::ShareOfThisMachine },
        { L"\\\\server\\share\\QuillMarsh\\", Guard::Removable },
    };
    Expect(cases, sizeof cases / sizeof cases[0]);
}

TEST_F(InstallFolderGuardTest, RefusesEverythingInsideWindowsButTheProductsOwnFallback)
{
    const Case cases[] = {
        { L"C:\\Windows", Guard::KnownFolder },
        { L"c:\\WINDOWS\\", Guard::KnownFolder },
        { L"C:\\windows\\system32\\drivers\\", Guard::InsideWindows },
        { L"C:/Windows/System32", Guard::InsideWindows },
        { L"C:\\Windows\\Temp\\QuillMarsh", Guard::InsideWindows },
        { L"C:\\Windows\\QuillMarsh", Guard::Removable },
        { L"c:\\windows\\quillmarsh\\", Guard::Removable },
        { L"C:\\Windows\\QuillMarsh\\sub", Guard::InsideWindows },
        { L"C:\\Windows2\\QuillMarsh", Guard::Removable },
    };
    Expect(cases, sizeof cases / sizeof cases[0]);
}

TEST_F(InstallFolderGuardTest, RefusesKnownFoldersTheirAncestorsAndProfilesButNotWhatLiesBelow)
{
    const Case cases[] = {
        { L"C:\\Program Files\\", Guard::KnownFolder },
        { L"E:\\Apps\\Program Files (x86)", Guard::KnownFolder },
        { L"E:\\Apps", Guard::KnownFolder },
        { L"E:\\", Guard::DriveRoot },
        { L"C:\\users\\Public\\Documents\\", Guard::KnownFolder },
        { L"C:\\Users\\Public", Guard::KnownFolder },
        { L"C:\\Users\\", Guard::KnownFolder },
        { L"C:\\Users\\alice", Guard::KnownFolder },
        { L"C:\\users\\Bob\\", Guard::UsersProfile },
        { L"C:\\Users\\alice\\AppData", Guard::KnownFolder },
        { L"C:\\Users\\alice\\AppData\\Local\\Programs", Guard::KnownFolder },
        { L"C:\\Users\\alice\\AppData\\Local\\Programs\\QuillMarsh\\", Guard::Removable },
        { L"C:\\Program Files\\QuillMarsh\\", Guard::Removable },
        { L"c:\\program files\\QuillMarsh", Guard::Removable },
        { L"D:\\Games\\Skelvane\\", Guard::Removable },
        // Sharing a prefix of letters is not lying above a known folder.
        { L"C:\\Program", Guard::Removable },
    };
    Expect(cases, sizeof cases / sizeof cases[0]);
}

// Windows finds a folder by its name in any case, in every script: a known
// folder named in Greek, Cyrillic, Armenian or fullwidth letters is the same
// folder in the other case.
TEST_F(InstallFolderGuardTest, KnowsAFolderInEitherCaseOfEveryScript)
{
    guard.AddKnownFolder(L"C:\\Users\\\u0394\u03b7\u03bc\u03ae\u03c4\u03c1\u03b7\u03c2\\Documents");
    guard.AddKnownFolder(L"D:\\\u0414\u043e\u043a\u0443\u043c\u0435\u043d\u0442\u044b");
    guard.AddKnownFolder(L"D:\\\u0553\u0561\u057d\u057f\u0561\u0569\u0572\u0569\u0565\u0580");
    guard.AddProfilesFolder(L"E:\\\uff30\uff52\uff4f\uff46\uff49\uff4c\uff45\uff53");
    const Case cases[] = {
        { L"c:\\users\\\u03b4\u0397\u039c\u0389\u03a4\u03a1\u0397\u03c2\\documents", Guard::KnownFolder },
        { L"C:\\USERS\\\u0394\u0397\u039c\u0389\u03a4\u03a1\u0397\u03c2", Guard::KnownFolder },
        { L"d:\\\u0434\u041e\u041a\u0423\u041c\u0415\u041d\u0422\u042b\\", Guard::KnownFolder },
        { L"D:\\\u0583\u0531\u054d\u054f\u0531\u0539\u0542\u0539\u0535\u0550", Guard::KnownFolder },
        { L"e:\\\uff50\uff32\uff2f\uff26\uff29\uff2c\uff25\uff33\\bob", Guard::UsersProfile },
        { L"E:\\\uff50\uff32\uff2f\uff26\uff29\uff2c\uff25\uff33", Guard::KnownFolder },
        // Letters that only look alike are other names.
        { L"D:\\\u0414\u043e\u043a\u0443\u043c\u0435\u043d\u0442\u044c", Guard::Removable },
        { L"E:\\Profiles\\bob", Guard::Removable },
    };
    Expect(cases, sizeof cases / sizeof cases[0]);
}

TEST_F(InstallFolderGuardTest, RefusesTextsThatAreNotPlainFullPaths)
{
    const Case cases[] = {
        { L"", Guard::NotAFullPath },
        { L"QuillMarsh\\", Guard::NotAFullPath },
        { L"\\QuillMarsh", Guard::NotAFullPath },
        { L"D:QuillMarsh", Guard::NotAFullPath },
        { L"C:\\Program Files\\QuillMarsh\\..\\..", Guard::NotAFullPath },
        { L"C:\\Program Files\\.\\QuillMarsh", Guard::NotAFullPath },
        { L"C:\\Program Files\\\\QuillMarsh", Guard::NotAFullPath },
        // Windows drops trailing dots and blanks: these name the Windows folder.
        { L"C:\\Windows.", Guard::NotAFullPath },
        { L"C:\\Windows \\", Guard::NotAFullPath },
        { L"\\\\?\\C:\\Program Files\\QuillMarsh", Guard::StreamOrDevice },
        { L"\\\\.\\C:\\QuillMarsh", Guard::StreamOrDevice },
        { L"C:\\windows::$INDEX_ALLOCATION\\", Guard::StreamOrDevice },
        { L"D:\\inst:stream", Guard::StreamOrDevice },
        { L"D:\\inst\\nul", Guard::StreamOrDevice },
        { L"D:\\COM\u00b9\\inst", Guard::StreamOrDevice },
        { L"D:\\lpt\u00b3.txt", Guard::StreamOrDevice },
        { L"D:\\in*st", Guard::StreamOrDevice },
        { L"D:\\a\x0001", Guard::StreamOrDevice },
    };
    Expect(cases, sizeof cases / sizeof cases[0]);
    EXPECT_EQ(Guard::NotAFullPath, guard.Judge(L"D:\\" + std::wstring(300, L'a')));
}

TEST(InstallFolderGuardForms, GivesOneComparableFormAndTellsWhatLiesInside)
{
    std::wstring out;
    ASSERT_EQ(Guard::Removable, Guard::Normalize(L"c:/Program Files/QuillMarsh\\\\", out));
    EXPECT_EQ(L"C:\\PROGRAM FILES\\QUILLMARSH", out);
    ASSERT_EQ(Guard::Removable, Guard::Normalize(L"d:\\", out));
    EXPECT_EQ(L"D:", out);
    ASSERT_EQ(Guard::Removable, Guard::Normalize(L"\\\\srv\\Share\\x\u00e9", out));
    EXPECT_EQ(L"\\\\SRV\\SHARE\\X\u00c9", out);

    EXPECT_TRUE(Guard::IsInside(L"D:\\inst\\uninstall.exe", L"d:\\INST\\"));
    EXPECT_TRUE(Guard::IsInside(L"D:\\inst\\sub\\uninstall.exe", L"D:\\inst"));
    EXPECT_FALSE(Guard::IsInside(L"D:\\inst", L"D:\\inst"));
    EXPECT_FALSE(Guard::IsInside(L"D:\\install\\uninstall.exe", L"D:\\inst"));
    EXPECT_FALSE(Guard::IsInside(L"D:\\uninstall.exe", L"D:\\inst"));
    EXPECT_FALSE(Guard::IsInside(L"", L"D:\\inst"));

    EXPECT_EQ(L"C:\\Windows", Guard::WithoutFinalPathPrefix(L"\\\\?\\C:\\Windows"));
    EXPECT_EQ(L"\\\\srv\\share\\x", Guard::WithoutFinalPathPrefix(L"\\\\?\\UNC\\srv\\share\\x"));
    EXPECT_EQ(L"\\\\?\\Volume{1}\\x", Guard::WithoutFinalPathPrefix(L"\\\\?\\Volume{1}\\x"));
}
}
