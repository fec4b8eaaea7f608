#include "InstallFolderGuard.h"

#include <gtest/gtest.h>

#include <string>
#include <wchar.h>

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
        const unsigned char lan[4] = { 192, 168, 1, 20 };
        guard.AddMachineAddress(ServerAddress::FromIpv4(lan));
        const unsigned char global[16] = { 0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x20 };
        guard.AddMachineAddress(ServerAddress::FromIpv6(global));
        const unsigned char link[16] = { 0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x12, 0x34 };
        guard.AddMachineAddress(ServerAddress::FromIpv6(link));
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

// Every spelling below reaches this machine's file server; a share there
// of C:\Users would let the uninstaller empty a profile.
TEST_F(InstallFolderGuardTest, KnowsThisMachineInEverySpellingOfItsAddresses)
{
    const wchar_t* const servers[] = {
        // IPv4 loopback in the numeric forms the resolver takes.
        L"127.0.0.1", L"127.1", L"127.0.1", L"127.255.255.254", L"127.8.9.10", L"2130706433", L"2130706442",
        L"0x7f.1", L"0X7F000001", L"0x7f.0x0.0x0.0x1", L"0177.0.0.1", L"0177.1", L"017700000001", L"127.000.000.001",
        L"0.0.0.0", L"0",
        // IPv6 loopback compressed, expanded, zero-padded, with a zone.
        L"::1", L"[::1]", L"0::1", L"0:0:0:0:0:0:0:1", L"0000:0000:0000:0000:0000:0000:0000:0001",
        L"::0001", L"::00001", L"::1%1", L"::", L"::0",
        // IPv4 loopback inside IPv6.
        L"::ffff:127.0.0.1", L"::FFFF:7F00:1", L"0:0:0:0:0:ffff:127.1.2.3", L"::ffff:0:0", L"::127.0.0.1",
        // The same as names under ipv6-literal.net.
        L"--1.ipv6-literal.net", L"0--1.ipv6-literal.net", L"0-0-0-0-0-0-0-1.ipv6-literal.net",
        L"0000-0000-0000-0000-0000-0000-0000-0001.IPV6-LITERAL.NET", L"--1s1.ipv6-literal.net",
        L"--ffff-127.0.0.1.ipv6-literal.net", L"--ffff-7f00-1.ipv6-literal.net", L"--.ipv6-literal.net",
        // The machine's names and its adapters' addresses in any spelling.
        L"localhost", L"LocalHost@SSL@443", L"127.0.0.1@8080", L"workstation", L"WORKSTATION.corp.example",
        L"192.168.1.20", L"3232235796", L"0xc0.0xa8.1.20", L"0300.0250.01.024", L"::ffff:192.168.1.20",
        L"--ffff-c0a8-114.ipv6-literal.net", L"2001:db8::20", L"2001:DB8:0:0:0:0:0:20", L"2001:0db8::0020",
        L"2001-db8--20.ipv6-literal.net", L"fe80::1234%12", L"fe80--1234s12.ipv6-literal.net",
    };
    for (const wchar_t* server : servers)
    {
        const std::wstring path = Guard::Upper(server);
        EXPECT_TRUE(guard.IsThisMachine(path)) << Narrow(server);
        EXPECT_NE(Guard::Removable, guard.Judge(L"\\\\" + std::wstring(server) + L"\\Users\\alice\\Documents"))
            << Narrow(server);
        EXPECT_NE(Guard::Removable, guard.Judge(L"\\\\" + std::wstring(server) + L"\\data\\QuillMarsh"))
            << Narrow(server);
    }
}

TEST_F(InstallFolderGuardTest, DoesNotTakeOtherHostsForThisMachine)
{
    const wchar_t* const servers[] = {
        L"128.0.0.1", L"126.255.255.255", L"2147483649", L"0x80.1", L"0200.0.0.1", L"1.127.0.0",
        L"1.2.3.4.5", L"10.0.0.5", L"192.168.1.21", L"3232235797", L"0.0.0.1", L"fileserver",
        L"fileserver.corp.example", L"workstation2", L"my-workstation", L"::2", L"::1:0", L"1::",
        L"::ffff:128.0.0.1", L"::ffff:192.168.1.21", L"2001:db8::21", L"fe80::1235", L"--2.ipv6-literal.net",
        L"1--1.ipv6-literal.net", L"--1.ipv6-literal.net.example", L"0y", L"08.0.0.1", L"0177.0.0.8x",
    };
    for (const wchar_t* server : servers)
    {
        EXPECT_FALSE(guard.IsThisMachine(Guard::Upper(server))) << Narrow(server);
        // A colon is never part of a path's server (nor of a name).
        const Guard::Verdict expected = wcschr(server, L':') != nullptr ? Guard::StreamOrDevice : Guard::Removable;
        EXPECT_EQ(expected, guard.Judge(L"\\\\" + std::wstring(server) + L"\\data\\QuillMarsh"))
            << Narrow(server);
    }
}

TEST_F(InstallFolderGuardTest, JudgesAShareOfThisMachineByTheFolderItPointsAt)
{
    guard.AddKnownFolder(L"C:\\Users\\alice\\Documents");
    guard.AddShare(L"Users", L"C:\\Users");
    guard.AddShare(L"data", L"D:\\Data\\");
    guard.AddShare(L"sys", L"c:\\windows\\system32");
    guard.AddShare(L"relay", L"\\\\fileserver\\data");
    const Case cases[] = {
        { L"\\\\--1.ipv6-literal.net\\Users\\alice\\Documents", Guard::KnownFolder },
        { L"\\\\0-0-0-0-0-0-0-1.ipv6-literal.net\\users\\alice", Guard::KnownFolder },
        { L"\\\\127.1\\USERS\\bob", Guard::UsersProfile },
        { L"\\\\192.168.1.20\\sys\\drivers", Guard::InsideWindows },
        { L"\\\\workstation\\data\\QuillMarsh", Guard::Removable },
        { L"\\\\localhost\\Users\\bob\\Games\\QuillMarsh", Guard::Removable },
        // What these reach cannot be told.
        { L"\\\\localhost\\other\\QuillMarsh", Guard::ShareOfThisMachine },
        { L"\\\\::1\\other\\QuillMarsh", Guard::StreamOrDevice },
        { L"\\\\localhost\\relay\\QuillMarsh", Guard::ShareOfThisMachine },
        // Another machine's share of the same name is that machine's.
        { L"\\\\fileserver\\Users\\alice\\Documents", Guard::Removable },
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
