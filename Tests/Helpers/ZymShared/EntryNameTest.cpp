#include "EntryName.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
    const size_t kBuffer = 256;

    bool Accepted(const std::string& name)
    {
        return IsSafeEntryName(name.c_str(), name.size(), kBuffer);
    }
}

TEST(EntryName, PlainRelativeNamesAreAccepted)
{
    for (const char* name : {"a.txt", "dir/", "dir/sub/file.bin", "a\\b.txt", "a/./b", "com10",
                             "console.txt", "nullify", "lpt", "com"})
        EXPECT_TRUE(Accepted(name)) << name;
}

TEST(EntryName, NamesThatLeaveTheDestinationAreRefused)
{
    for (const char* name : {"/abs", "\\abs", "../up", "a/../../up", "a\\..\\b", ".. /x", "... ",
                             "C:x", "a:stream", "\\\\server\\share"})
        EXPECT_FALSE(Accepted(name)) << name;
}

// Windows opens a device whatever folder the name stands in: the reserved
// names with any extension, COM and LPT with a digit from 0 to 9 or a
// superscript one, two or three (code page 1252).
TEST(EntryName, DeviceNamesAreRefusedInAnyCase)
{
    for (const char* name : {"nul", "NUL.txt", "dir/con", "prn .x", "aux", "conin$", "CONOUT$",
                             "com1", "COM9.log", "lpt1", "com0", "LPT0.txt", "com\xb9", "lpt\xb2",
                             "COM\xb3.txt"})
        EXPECT_FALSE(Accepted(name)) << name;
}

TEST(EntryName, AStoredLengthThatFillsTheBufferIsRefusedUnread)
{
    std::string longName(kBuffer, 'x');
    EXPECT_FALSE(IsSafeEntryName(longName.c_str(), kBuffer, kBuffer));
    EXPECT_TRUE(IsSafeEntryName(longName.c_str(), kBuffer - 1, kBuffer));
}
