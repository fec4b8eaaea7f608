#include "ArchiveFile.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>

#include "unzip.h"

// The archive file as minizip reads it must give exactly the bytes and
// positions a plain file gives, however the reads fall across its windows.
namespace {

// Three windows and some: reads cross window ends, and the file's end lies
// inside the last one.
const size_t kFileSize = 3 * 256 * 1024 + 1234;
const std::string kPath = "D:\\archives\\archive-file.bin";

std::string Content()
{
    std::string bytes(kFileSize, '\0');
    for (size_t i = 0; i < kFileSize; ++i)
        bytes[i] = static_cast<char>((i * 131 + (i >> 9)) & 0xFF);
    return bytes;
}

enum class Step { Seek, Read, Bytes };

struct Access {
    const char* what;
    Step step;
    int origin;
    unsigned long long offset;
    size_t size;
};

const unsigned long long kWindow = 256 * 1024;

// Applied in order to one open file, as minizip's walks mix them: the
// central directory at the end between headers and data throughout.
const Access kAccesses[] = {
    {"first header", Step::Read, 0, 0, 30},
    {"end of the file, as the search for the directory starts", Step::Seek, ZLIB_FILEFUNC_SEEK_END, 0, 0},
    {"directory near the end", Step::Seek, ZLIB_FILEFUNC_SEEK_SET, kFileSize - 700, 0},
    {"directory record", Step::Read, 0, 0, 46},
    {"back to the data", Step::Seek, ZLIB_FILEFUNC_SEEK_SET, 100, 0},
    {"data in the first window", Step::Read, 0, 0, 16384},
    {"next directory record, other window", Step::Seek, ZLIB_FILEFUNC_SEEK_SET, kFileSize - 654, 0},
    {"record read after the seek", Step::Read, 0, 0, 46},
    {"skip forward", Step::Seek, ZLIB_FILEFUNC_SEEK_CUR, 20, 0},
    {"read to and past the end", Step::Read, 0, 0, 4096},
    {"read at the end", Step::Read, 0, 0, 10},
    {"seek past the end", Step::Seek, ZLIB_FILEFUNC_SEEK_SET, kFileSize + 5000, 0},
    {"read past the end", Step::Read, 0, 0, 10},
    {"across the first window's end", Step::Seek, ZLIB_FILEFUNC_SEEK_SET, kWindow - 10, 0},
    {"read across", Step::Read, 0, 0, 100},
    {"larger than a window, unaligned", Step::Seek, ZLIB_FILEFUNC_SEEK_SET, 77, 0},
    {"read larger than a window", Step::Read, 0, 0, 300 * 1024},
    {"bytes inside a window", Step::Bytes, 0, 1000, 2000},
    {"bytes across a window's end", Step::Bytes, 0, 2 * kWindow - 5, 50},
    {"bytes larger than a window", Step::Bytes, 0, 3, 2 * kWindow + 11},
    {"bytes ending at the file's end", Step::Bytes, 0, kFileSize - 64, 64},
    {"bytes past the file's end", Step::Bytes, 0, kFileSize - 64, 65},
    {"bytes larger than a window past the end", Step::Bytes, 0, kWindow, 3 * kWindow},
    {"bytes of nothing at the end", Step::Bytes, 0, kFileSize, 0},
    {"position kept by bytes", Step::Read, 0, 0, 8},
};

TEST(ArchiveFileTest, ReadsWhatAPlainFileHoldsWhereverTheReadsFall)
{
    ASSERT_TRUE(TestFiles::MakeFolders("D:\\archives"));
    const std::string content = Content();
    ASSERT_TRUE(TestFiles::Write(kPath, content));

    ArchiveFile file;
    const zlib_filefunc64_def functions = file.Functions();
    const std::wstring path(kPath.begin(), kPath.end());
    voidpf stream = functions.zopen64_file(functions.opaque, path.c_str(), ZLIB_FILEFUNC_MODE_READ |
                                                                              ZLIB_FILEFUNC_MODE_EXISTING);
    ASSERT_NE(stream, nullptr);

    // The model: a plain file's position over the same bytes.
    unsigned long long position = 0;
    std::string scratch(4 * kWindow, '\0');
    for (const Access& access : kAccesses) {
        SCOPED_TRACE(access.what);
        switch (access.step) {
        case Step::Seek: {
            ASSERT_EQ(functions.zseek64_file(functions.opaque, stream, access.offset, access.origin), 0);
            position = (access.origin == ZLIB_FILEFUNC_SEEK_SET   ? 0
                        : access.origin == ZLIB_FILEFUNC_SEEK_CUR ? position
                                                                  : kFileSize) +
                       access.offset;
            break;
        }
        case Step::Read: {
            std::string got(access.size, '\0');
            const uLong count =
                functions.zread_file(functions.opaque, stream, &got[0], static_cast<uLong>(access.size));
            const std::string expected =
                position < kFileSize ? content.substr(static_cast<size_t>(position), access.size) : std::string();
            ASSERT_EQ(count, expected.size());
            EXPECT_TRUE(got.compare(0, count, expected) == 0) << "other bytes than the file holds";
            position += count;
            break;
        }
        case Step::Bytes: {
            const char* bytes = file.Bytes(access.offset, access.size, &scratch[0]);
            if (access.offset + access.size > kFileSize) {
                EXPECT_EQ(bytes, nullptr);
            } else {
                ASSERT_NE(bytes, nullptr);
                EXPECT_TRUE(content.compare(static_cast<size_t>(access.offset), access.size, bytes, access.size) == 0)
                    << "other bytes than the file holds";
            }
            EXPECT_FALSE(file.Failed());
            break;
        }
        }
        EXPECT_EQ(functions.ztell64_file(functions.opaque, stream), position);
    }
    EXPECT_EQ(functions.zerror_file(functions.opaque, stream), 0);
    EXPECT_EQ(functions.zclose_file(functions.opaque, stream), 0);
}

TEST(ArchiveFileTest, AMissingArchiveOrAWriteOpenIsRefused)
{
    ArchiveFile file;
    zlib_filefunc64_def functions = file.Functions();
    EXPECT_EQ(unzOpen2_64(L"D:\\archives\\no-such-archive.zip", &functions), nullptr);
    ASSERT_TRUE(TestFiles::MakeFolders("D:\\archives"));
    ASSERT_TRUE(TestFiles::Write(kPath, "not written through"));
    const std::wstring path(kPath.begin(), kPath.end());
    EXPECT_EQ(functions.zopen64_file(functions.opaque, path.c_str(),
                                     ZLIB_FILEFUNC_MODE_WRITE | ZLIB_FILEFUNC_MODE_CREATE),
              nullptr);
    EXPECT_EQ(TestFiles::Read(kPath), "not written through");
}

} // namespace
