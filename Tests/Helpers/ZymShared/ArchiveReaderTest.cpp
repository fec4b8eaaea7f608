#include "ArchiveFile.h"
#include "ArchiveReader.h"
#include "BlockQueue.h"
#include "EntryRouter.h"

#include "ArchiveBuilder.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>

#include "unzip.h"

// Runs in the sandbox prefix beside the extraction tests: the archives are
// made in D:\archives; nothing is extracted.
namespace {

struct StopCase {
    const char* name;
    int entries;
    size_t entrySize;
};

// A writer that gives up after the first block, as it does when a file
// cannot be written. In a long entry the reader is stopped while inflating
// it, among small ones while handing on the next entry; either way it lets
// go of the archive with no entry left open and reports that it did not
// take everything.
class ArchiveReaderStopTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(ArchiveReaderStopTest, WriterThatGivesUpLetsTheReaderGo)
{
    const StopCase& stop = GetParam();
    ASSERT_TRUE(TestFiles::MakeFolders("D:\\archives"));
    const std::string archive = std::string("D:\\archives\\reader-") + stop.name + ".zip";
    {
        ArchiveBuilder zip(archive);
        for (int i = 0; i < stop.entries; ++i)
            ASSERT_TRUE(zip.Add("e" + std::to_string(i), std::string(stop.entrySize, 'x'), false));
        ASSERT_TRUE(zip.Close());
    }
    ArchiveFile file;
    zlib_filefunc64_def functions = file.Functions();
    const std::wstring path(archive.begin(), archive.end());
    unzFile zip = unzOpen2_64(path.c_str(), &functions);
    ASSERT_NE(zip, nullptr);
    {
        // One writer with two blocks, far fewer than the archive needs: the
        // reader soon waits for the writer.
        EntryRouter router(1, 2, 4096);
        ArchiveReader reader(zip, file, L"D:\\out", router);
        ASSERT_TRUE(reader.Start());
        const InflatedBlock* first = router.Queue(0).NextToWrite();
        ASSERT_NE(first, nullptr);
        EXPECT_TRUE(first->begins);
        router.Cancel();
        EXPECT_FALSE(reader.Finish());
    }
    char byte = 0;
    EXPECT_EQ(unzReadCurrentFile(zip, &byte, 1), UNZ_PARAMERROR) << "an entry was left open";
    EXPECT_EQ(unzClose(zip), UNZ_OK);
}

INSTANTIATE_TEST_SUITE_P(Places, ArchiveReaderStopTest,
                         ::testing::Values(StopCase{"inside-an-entry", 1, 1024 * 1024},
                                           StopCase{"between-entries", 10, 100}),
                         [](const ::testing::TestParamInfo<StopCase>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

} // namespace
