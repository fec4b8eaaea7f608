#include "ZymShared.h"

#include "ArchiveBuilder.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Runs in the sandbox prefix. Destinations lie deep below D:\a\b\c so that a
// name that climbs out still lands on a drive of the sandbox, where the
// listing around the run finds it.
namespace {

const std::string kArchives = "D:\\archives\\";

std::string Destination(const std::string& name)
{
    const std::string path = "D:\\a\\b\\c\\" + name;
    EXPECT_TRUE(TestFiles::MakeFolders(path));
    return path;
}

class UnsafeArchiveTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { ASSERT_TRUE(TestFiles::MakeFolders("D:\\archives")); }
};

// Builds an archive with the unsafe entry between two safe ones.
std::string UnsafeArchive(const std::string& tag, const char* name)
{
    const std::string archive = kArchives + "unsafe-" + tag + ".zip";
    ArchiveBuilder zip(archive);
    EXPECT_TRUE(zip.Add("before.txt", "before"));
    EXPECT_TRUE(zip.Add(name, "escaped " + tag));
    EXPECT_TRUE(zip.Add("after.txt", "after"));
    EXPECT_TRUE(zip.Close());
    return archive;
}

TEST_P(UnsafeArchiveTest, EntryIsRefusedAndTheOthersAreWritten)
{
    static int s_case = 0;
    const std::string tag = std::to_string(++s_case);
    const std::string archive = UnsafeArchive(tag, GetParam());
    const std::string dest = Destination("dest-" + tag);
    EXPECT_FALSE(DecompressArchive(archive.c_str(), dest.c_str())) << GetParam();
    EXPECT_EQ(TestFiles::List(dest), (std::vector<std::string>{"after.txt", "before.txt"}))
        << GetParam();
}

// Without a destination the stored name is the whole path, so absolute and
// drive forms would reach the root of a drive.
TEST_P(UnsafeArchiveTest, EntryIsRefusedWithoutADestination)
{
    static int s_case = 0;
    const std::string tag = "cwd-" + std::to_string(++s_case);
    const std::string archive = UnsafeArchive(tag, GetParam());
    const std::string dest = Destination("dest-" + tag);
    char previous[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(sizeof(previous), previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(dest.c_str()));
    const bool extracted = DecompressArchive(archive.c_str(), nullptr);
    SetCurrentDirectoryA(previous);
    EXPECT_FALSE(extracted) << GetParam();
    EXPECT_EQ(TestFiles::List(dest), (std::vector<std::string>{"after.txt", "before.txt"}))
        << GetParam();
}

INSTANTIATE_TEST_SUITE_P(NameForms, UnsafeArchiveTest,
                         ::testing::Values("../../x1", "..\\..\\x2", "../x3", "..\\x4",
                                           "sub/../../x5", "sub\\..\\..\\x6", "sub/..\\../x7",
                                           "/x8", "\\x9", "C:x10", "C:\\x11", "C:/x12",
                                           "D:\\x13", "\\\\server\\share\\x14",
                                           "//server/share/x15", "..", "../", "sub/.. /x16",
                                           "x17:stream", "nul", "sub/AUX.txt", "com1",
                                           "Lpt9.log", "conout$", "COM\xb9", "lpt\xb3.txt",
                                           "sub/com\xb2 .log", "LPT\xb2"));

TEST_F(UnsafeArchiveTest, DotComponentsAndDoubledSeparatorsStayInside)
{
    const std::string archive = kArchives + "inside.zip";
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add("./dot.txt", "dot"));
        ASSERT_TRUE(zip.Add("sub/./inner.txt", "inner"));
        ASSERT_TRUE(zip.Add("twice//double.txt", "double"));
        ASSERT_TRUE(zip.Add("...txt", "dots in a name"));
        ASSERT_TRUE(zip.Close());
    }
    const std::string dest = Destination("dest-inside");
    EXPECT_TRUE(DecompressArchive(archive.c_str(), dest.c_str()));
    EXPECT_EQ(TestFiles::Read(dest + "\\dot.txt"), "dot");
    EXPECT_EQ(TestFiles::Read(dest + "\\sub\\inner.txt"), "inner");
    EXPECT_EQ(TestFiles::Read(dest + "\\twice\\double.txt"), "double");
    EXPECT_EQ(TestFiles::Read(dest + "\\...txt"), "dots in a name");
}

// A name of 256 characters reaches the extraction cut to the name buffer;
// written as cut it would be a different path. Extracted into the current
// folder, the cut path would be short enough to be created.
TEST_F(UnsafeArchiveTest, NamesOf256CharactersOrMoreAreRefused)
{
    const std::string name = std::string(100, 'p') + "/" + std::string(100, 'q') + "/" +
                             std::string(54, 'r');
    ASSERT_EQ(name.size(), 256u);
    const std::string archive = kArchives + "longname.zip";
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add(name, "long"));
        ASSERT_TRUE(zip.Add(name + "-and-more", "longer"));
        ASSERT_TRUE(zip.Add("short.txt", "short"));
        ASSERT_TRUE(zip.Close());
    }
    const std::string dest = Destination("dest-l");
    char previous[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(sizeof(previous), previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(dest.c_str()));
    const bool extracted = DecompressArchive(archive.c_str(), nullptr);
    SetCurrentDirectoryA(previous);
    EXPECT_FALSE(extracted);
    EXPECT_EQ(TestFiles::List(dest), std::vector<std::string>{"short.txt"});
}

} // namespace
