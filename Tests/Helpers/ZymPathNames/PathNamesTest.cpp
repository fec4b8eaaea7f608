#include "PathNames.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct Pair
{
    wchar_t lower;
    wchar_t upper;
};

std::string Hex(unsigned long code)
{
    char text[16];
    snprintf(text, sizeof text, "U+%04lX", code);
    return text;
}

// Letters of the scripts names are written in, beyond ASCII and Latin-1;
// each small letter must meet its capital, and a capital stays one.
void ExpectPairs(const Pair* pairs, size_t count)
{
    for (size_t i = 0; i < count; ++i)
    {
        EXPECT_EQ(pairs[i].upper, FoldCase(pairs[i].lower)) << Hex(static_cast<unsigned long>(pairs[i].lower));
        EXPECT_EQ(pairs[i].upper, FoldCase(pairs[i].upper)) << Hex(static_cast<unsigned long>(pairs[i].upper));
    }
}

TEST(FoldCase, MeetsTheCapitalsOfGreekCyrillicArmenianAndFullwidthLetters)
{
    const Pair pairs[] = {
        { L'a', L'A' },           { L'z', L'Z' },           { 0x00E9, 0x00C9 },       { 0x00FF, 0x0178 },
        { 0x0101, 0x0100 },       { 0x017E, 0x017D },       { 0x03B1, 0x0391 },       { 0x03C9, 0x03A9 },
        { 0x03AC, 0x0386 },       { 0x03C3, 0x03A3 },       { 0x03CE, 0x038F },       { 0x0430, 0x0410 },
        { 0x044F, 0x042F },       { 0x0451, 0x0401 },       { 0x0452, 0x0402 },       { 0x0491, 0x0490 },
        { 0x0561, 0x0531 },       { 0x0586, 0x0556 },       { 0xFF41, 0xFF21 },       { 0xFF5A, 0xFF3A },
        { 0x24D0, 0x24B6 },       { 0x2170, 0x2160 },       { 0x1F00, 0x1F08 },       { 0x0450, 0x0400 },
    };
    ExpectPairs(pairs, sizeof pairs / sizeof pairs[0]);
}

TEST(FoldCase, LeavesWhatHasNoOneCharacterCapital)
{
    // Sharp s would become two letters; final sigma, dotless i, long s and
    // the micro sign are not the small letters of the capitals their upper
    // case gives; the rest have no case.
    const wchar_t same[] = { L'0', L'\\', L'.', 0x00DF, 0x03C2, 0x0131, 0x017F, 0x00B5, 0x01C5,
                             0x00F7, 0x4E2D, 0x05D0, 0xFF10, 0xFF0F, 0x0000 };
    for (wchar_t c : same)
        EXPECT_EQ(c, FoldCase(c)) << Hex(static_cast<unsigned long>(c));
}

TEST(FoldCase, NamesTheSameDeviceInEveryCase)
{
    EXPECT_TRUE(NamesDevice(L"cOnIn$.txt", 10));
    EXPECT_TRUE(NamesDevice(L"lpt\u00b9", 4));
    EXPECT_FALSE(NamesDevice(L"\u0441on", 3));  // a Cyrillic small es, not a C
}

#ifdef _WIN32
// The native build folds with the table; under Windows the system folds.
// Both must be one rule, so the table is held against the system for every
// character of the plane.
TEST(FoldCase, TheTableAgreesWithTheSystemOverTheWholePlane)
{
    int differences = 0;
    for (unsigned long code = 0; code < 0x10000; ++code)
    {
        if (code >= 0xD800 && code < 0xE000)
            continue;
        const wchar_t c = static_cast<wchar_t>(code);
        if (FoldCase(c) != UpperByTable(c))
        {
            ++differences;
            if (differences <= 40)
                ADD_FAILURE() << Hex(code) << ": system " << Hex(static_cast<unsigned long>(FoldCase(c)))
                              << ", table " << Hex(static_cast<unsigned long>(UpperByTable(c)));
        }
    }
    EXPECT_EQ(0, differences);
}
#endif
}

namespace
{
struct PathForm
{
    const wchar_t* path;
    const wchar_t* expected;
};

std::string Ascii(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}
}

TEST(ExtendedLengthPath, WritesFullPathsSoThatNoLengthOrTrailingDotChangesWhatTheyName)
{
    const std::wstring deep = L"D:\\inst\\" + std::wstring(120, L'a') + L"\\" + std::wstring(120, L'b') + L"\\c.dat";
    const PathForm forms[] = {
        { L"C:\\inst\\data\\a.dat", L"\\\\?\\C:\\inst\\data\\a.dat" },
        { L"d:\\", L"\\\\?\\d:\\" },
        { L"D:\\inst\\x.", L"\\\\?\\D:\\inst\\x." },
        { L"D:\\inst\\y ", L"\\\\?\\D:\\inst\\y " },
        { L"D:\\inst\\*", L"\\\\?\\D:\\inst\\*" },
        { L"\\\\server\\share\\inst\\a.dat", L"\\\\?\\UNC\\server\\share\\inst\\a.dat" },
        // Already in a form the system takes as written.
        { L"\\\\?\\D:\\inst\\a.dat", L"\\\\?\\D:\\inst\\a.dat" },
        { L"\\\\?\\UNC\\server\\share\\a", L"\\\\?\\UNC\\server\\share\\a" },
        { L"\\\\.\\D:\\inst", L"\\\\.\\D:\\inst" },
        // Only the system's own parsing gives these their meaning.
        { L"inst\\a.dat", L"inst\\a.dat" },
        { L"D:inst\\a.dat", L"D:inst\\a.dat" },
        { L"\\inst\\a.dat", L"\\inst\\a.dat" },
        { L"D:/inst/a.dat", L"D:/inst/a.dat" },
        { L"D:\\inst\\..\\a.dat", L"D:\\inst\\..\\a.dat" },
        { L"D:\\inst\\.\\a.dat", L"D:\\inst\\.\\a.dat" },
        { L"D:\\inst\\\\a.dat", L"D:\\inst\\\\a.dat" },
        { L"\\\\server\\..\\a.dat", L"\\\\server\\..\\a.dat" },
        { L"", L"" },
    };
    for (const PathForm& form : forms)
        EXPECT_EQ(form.expected, ExtendedLengthPath(form.path)) << Ascii(form.path);
    EXPECT_EQ(L"\\\\?\\" + deep, ExtendedLengthPath(deep));
}
