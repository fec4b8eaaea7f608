#include "ZymShared.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

TEST(GetFileNameWithoutExtensionTest, CutsAtTheFirstDotOfTheWholeText)
{
    char buffer[64];
    EXPECT_STREQ(GetFileNameWithoutExtension("setup.exe", buffer), "setup");
    EXPECT_EQ(GetFileNameWithoutExtension("archive.tar.gz", buffer), buffer);
    EXPECT_STREQ(buffer, "archive");
    EXPECT_STREQ(GetFileNameWithoutExtension("README", buffer), "README");
    EXPECT_STREQ(GetFileNameWithoutExtension("libs.v2\\plugin.dll", buffer), "libs");
    EXPECT_STREQ(GetFileNameWithoutExtension("C:\\Tools\\run.bat", buffer), "C:\\Tools\\run");
    EXPECT_STREQ(GetFileNameWithoutExtension(".hidden", buffer), "");
    EXPECT_STREQ(GetFileNameWithoutExtension("", buffer), "");
}

TEST(GetFileNameWithoutExtensionTest, WritesOnlyTheKeptTextAndTerminator)
{
    char buffer[16];
    memset(buffer, '#', sizeof(buffer));
    GetFileNameWithoutExtension("abc.def", buffer);
    EXPECT_EQ(buffer[3], '\0');
    EXPECT_EQ(buffer[4], '#');
}

} // namespace
