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
