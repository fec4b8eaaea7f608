#include "PathForms.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct Form
{
    const wchar_t* path;
    const wchar_t* expected;
};

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

TEST(ExtendedLengthPath, WritesFullPathsSoThatNoLengthOrTrailingDotChangesWhatTheyName)
{
    const std::wstring deep = L"D:\\inst\\" + std::wstring(120, L'a') + L"\\" + std::wstring(120, L'b') + L"\\c.dat";
    const Form forms[] = {
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
    for (const Form& form : forms)
        EXPECT_EQ(form.expected, ExtendedLengthPath(form.path)) << Narrow(form.path);
    EXPECT_EQ(L"\\\\?\\" + deep, ExtendedLengthPath(deep));
}

TEST(LibraryLoadName, GivesTheLoaderANameItCannotExtend)
{
    const Form forms[] = {
        { L"D:\\inst\\libraries\\x", L"D:\\inst\\libraries\\x." },
        { L"D:\\inst.d\\libraries\\plugin", L"D:\\inst.d\\libraries\\plugin." },
        { L"D:\\inst\\libraries\\alpha.dll", L"D:\\inst\\libraries\\alpha.dll" },
        { L"D:\\inst\\libraries\\alpha.plug", L"D:\\inst\\libraries\\alpha.plug" },
        { L"D:\\inst\\libraries\\x.", L"D:\\inst\\libraries\\x." },
    };
    for (const Form& form : forms)
        EXPECT_EQ(form.expected, LibraryLoadName(form.path)) << Narrow(form.path);
}
}
