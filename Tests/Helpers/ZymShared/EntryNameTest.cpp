#include "EntryName.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
    std::string Shown(const std::wstring& name)
    {
        std::string out;
        for (wchar_t c : name)
            out += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
        return out;
    }
}

TEST(EntryName, PlainRelativeNamesAreAccepted)
{
    for (const wchar_t* name : {L"a.txt", L"dir/", L"dir/sub/file.bin", L"a\\b.txt", L"a/./b", L"com10",
                                L"console.txt", L"nullify", L"lpt", L"com", L"\u00e9t\u00e9/caf\u00e9.txt",
                                L"com\u2074"})
        EXPECT_TRUE(IsSafeEntryName(name)) << Shown(name);
}

TEST(EntryName, NamesThatLeaveTheDestinationAreRefused)
{
    for (const wchar_t* name : {L"", L"/abs", L"\\abs", L"../up", L"a/../../up", L"a\\..\\b", L".. /x",
                                L"... ", L"C:x", L"a:stream", L"\\\\server\\share"})
        EXPECT_FALSE(IsSafeEntryName(name)) << Shown(name);
    // The system would see the name only up to the NUL.
    EXPECT_FALSE(IsSafeEntryName(std::wstring(L"a\0/../../x", 10)));
}

// Windows opens a device whatever folder the name stands in: the reserved
// names with any extension, COM and LPT with a digit from 0 to 9 or a
// superscript one, two or three.
TEST(EntryName, DeviceNamesAreRefusedInAnyCase)
{
    for (const wchar_t* name : {L"nul", L"NUL.txt", L"dir/con", L"prn .x", L"aux", L"conin$", L"CONOUT$",
                                L"com1", L"COM9.log", L"lpt1", L"com0", L"LPT0.txt", L"com\u00b9",
                                L"lpt\u00b2", L"COM\u00b3.txt"})
        EXPECT_FALSE(IsSafeEntryName(name)) << Shown(name);
}

TEST(EntryNameUtf8, WellFormedBytesGiveTheirUtf16Form)
{
    struct Case
    {
        std::string bytes;
        std::wstring name;
    };
    const Case cases[] = {
        {"a/b.txt", L"a/b.txt"},
        {"caf\xc3\xa9", L"caf\u00e9"},
        {"\xe2\x82\xac", L"\u20ac"},
        {"\xef\xbf\xbd", L"\ufffd"},
        // Beyond the basic plane: a surrogate pair, whatever the width of
        // wchar_t.
        {"\xf0\x9f\x98\x80", std::wstring{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)}},
        {"\xf4\x8f\xbf\xbf", std::wstring{static_cast<wchar_t>(0xDBFF), static_cast<wchar_t>(0xDFFF)}},
    };
    for (const Case& c : cases)
    {
        std::wstring name(L"left over");
        EXPECT_TRUE(DecodeUtf8Name(c.bytes.data(), c.bytes.size(), name)) << c.bytes;
        EXPECT_EQ(c.name, name) << c.bytes;
    }
}

TEST(EntryNameUtf8, MalformedBytesAreRefused)
{
    const std::string cases[] = {
        std::string("a\0b", 3),        // NUL
        "\xc0\xaf",                   // overlong "/"
        "\xe0\x80\xaf",               // overlong "/"
        "\xf0\x80\x80\xaf",           // overlong "/"
        "\xed\xa0\x80",               // a surrogate
        "\xf4\x90\x80\x80",           // beyond U+10FFFF
        "\xf5\x80\x80\x80",           // no such lead byte
        "\x80",                       // a continuation without a lead
        "\xe2\x82",                   // cut at the end
        "\xe2\x28\xa1",               // cut by an ASCII byte
    };
    for (const std::string& bytes : cases)
    {
        std::wstring name;
        EXPECT_FALSE(DecodeUtf8Name(bytes.data(), bytes.size(), name)) << bytes;
    }
}
