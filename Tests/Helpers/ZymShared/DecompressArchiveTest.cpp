#include "ZymShared.h"

#include "ArchiveBuilder.h"
#include "TestFiles.h"
#include "WholeEntryInflater.h"

#include <gtest/gtest.h>

#include <ctype.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "unzip.h"

// Runs in the sandbox prefix: archives are made in D:\archives, extracted
// below D:\out.
namespace {

const std::string kArchives = "D:\\archives\\";

std::string Destination(const std::string& name)
{
    const std::string path = "D:\\out\\" + name;
    EXPECT_TRUE(TestFiles::MakeFolders(path));
    return path;
}

std::string BigText(size_t size)
{
    std::string text;
    unsigned state = 12345;
    while (text.size() < size) {
        state = state * 1103515245u + 12345u;
        text += "line " + std::to_string(state % 1000) + " of the test data\r\n";
    }
    text.resize(size);
    return text;
}

class DecompressArchiveTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(TestFiles::MakeFolders("D:\\archives")); }
};

TEST_F(DecompressArchiveTest, StoredFoldersAreMadeWhenTheirFilesAreWritten)
{
    const std::string archive = kArchives + "folders.zip";
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add("dir/", ""));
        ASSERT_TRUE(zip.Add("dir/a.txt", "alpha"));
        ASSERT_TRUE(zip.Add("dir/sub\\b.txt", "beta"));
        ASSERT_TRUE(zip.Add("empty/", ""));
        ASSERT_TRUE(zip.Close());
    }
    const std::string dest = Destination("folders");
    EXPECT_TRUE(DecompressArchive(archive.c_str(), dest.c_str()));
    EXPECT_EQ(TestFiles::Read(dest + "\\dir\\a.txt"), "alpha");
    EXPECT_EQ(TestFiles::Read(dest + "\\dir\\sub\\b.txt"), "beta");
    // A folder entry on its own makes no folder.
    EXPECT_EQ(TestFiles::List(dest),
              (std::vector<std::string>{"dir\\", "dir\\a.txt", "dir\\sub\\", "dir\\sub\\b.txt"}));
}

TEST_F(DecompressArchiveTest, TrailingBackslashOfTheDestinationGivesTheSamePaths)
{
    const std::string archive = kArchives + "slash.zip";
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add("top.txt", "top"));
        ASSERT_TRUE(zip.Add("d1/d2/deep.txt", "deep"));
        ASSERT_TRUE(zip.Close());
    }
    const std::string plain = Destination("plain");
    const std::string slashed = Destination("slashed");
    EXPECT_TRUE(DecompressArchive(archive.c_str(), plain.c_str()));
    EXPECT_TRUE(DecompressArchive(archive.c_str(), (slashed + "\\").c_str()));
    const std::vector<std::string> expected{"d1\\", "d1\\d2\\", "d1\\d2\\deep.txt", "top.txt"};
    EXPECT_EQ(TestFiles::List(plain), expected);
    EXPECT_EQ(TestFiles::List(slashed), expected);
    EXPECT_EQ(TestFiles::Read(slashed + "\\d1\\d2\\deep.txt"), "deep");
}

TEST_F(DecompressArchiveTest, NullDestinationExtractsIntoTheCurrentFolder)
{
    const std::string archive = kArchives + "relative.zip";
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add("rel/here.txt", "here"));
        ASSERT_TRUE(zip.Close());
    }
    const std::string dest = Destination("current");
    char previous[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(sizeof(previous), previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(dest.c_str()));
    const bool extracted = DecompressArchive(archive.c_str(), nullptr);
    SetCurrentDirectoryA(previous);
    EXPECT_TRUE(extracted);
    EXPECT_EQ(TestFiles::Read(dest + "\\rel\\here.txt"), "here");
}

TEST_F(DecompressArchiveTest, ExistingFileIsReplaced)
{
    const std::string archive = kArchives + "replace.zip";
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add("same.txt", "new"));
        ASSERT_TRUE(zip.Close());
    }
    const std::string dest = Destination("replace");
    ASSERT_TRUE(TestFiles::Write(dest + "\\same.txt", "the old and much longer content"));
    EXPECT_TRUE(DecompressArchive(archive.c_str(), dest.c_str()));
    EXPECT_EQ(TestFiles::Read(dest + "\\same.txt"), "new");
}

TEST_F(DecompressArchiveTest, StoredAndDeflatedEntriesKeepTheirBytes)
{
    const std::string archive = kArchives + "methods.zip";
    const std::string big = BigText(100000);
    std::string binary;
    for (int i = 0; i < 70000; ++i)
        binary += static_cast<char>((i * 7919) >> 3);
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add("stored.bin", binary, false));
        ASSERT_TRUE(zip.Add("deflated.txt", big, true));
        ASSERT_TRUE(zip.Add("empty.txt", "", true));
        ASSERT_TRUE(zip.Close());
    }
    const std::string dest = Destination("methods");
    EXPECT_TRUE(DecompressArchive(archive.c_str(), dest.c_str()));
    EXPECT_TRUE(TestFiles::Read(dest + "\\stored.bin") == binary);
    EXPECT_TRUE(TestFiles::Read(dest + "\\deflated.txt") == big);
    EXPECT_EQ(TestFiles::Read(dest + "\\empty.txt"), "");
}

// Files are written while later entries are inflated, in pieces of 256 KiB
// and no more than eight pieces ahead: sizes around a piece, an entry longer
// than all pieces together and empty entries between them keep their bytes
// and their names.
TEST_F(DecompressArchiveTest, EntriesAroundAndBeyondTheReadAheadKeepTheirBytes)
{
    const std::string archive = kArchives + "pieces.zip";
    const size_t piece = 256 * 1024;
    const size_t sizes[] = {0, 1, piece - 1, piece, piece + 1, 3 * piece, 0, 9 * piece + 17, 5};
    std::vector<std::string> texts;
    {
        ArchiveBuilder zip(archive);
        for (size_t i = 0; i < sizeof(sizes) / sizeof(sizes[0]); ++i) {
            // Each entry its own text, so that a piece handed to the wrong
            // file shows.
            texts.push_back(std::to_string(i) + BigText(sizes[i] + 40).substr(40));
            texts.back().resize(sizes[i]);
            ASSERT_TRUE(zip.Add("f" + std::to_string(i) + ".bin", texts.back(), i % 2 == 0));
        }
        ASSERT_TRUE(zip.Close());
    }
    const std::string dest = Destination("pieces");
    EXPECT_TRUE(DecompressArchive(archive.c_str(), dest.c_str()));
    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_TRUE(TestFiles::Read(dest + "\\f" + std::to_string(i) + ".bin") == texts[i]) << "f" << i;
    EXPECT_EQ(TestFiles::List(dest).size(), texts.size());
}

// A checksum error at the end of an entry longer than the read-ahead: its
// first pieces were already written when the error shows; the file is taken
// away again (the previous one stays), and nothing after it is written.
TEST_F(DecompressArchiveTest, ChecksumErrorAfterManyPiecesKeepsThePreviousFile)
{
    const std::string archive = kArchives + "late-checksum.zip";
    const std::string big = BigText(3 * 1024 * 1024) + "PAYLOAD-TO-SPOIL";
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add("first.txt", "written whole", false));
        ASSERT_TRUE(zip.Add("big.txt", big, false));
        ASSERT_TRUE(zip.Add("after.txt", "never reached", false));
        ASSERT_TRUE(zip.Close());
    }
    ASSERT_EQ(TestFiles::Patch(archive, "SPOIL", "SPOIT"), 1);
    const std::string dest = Destination("late-checksum");
    ASSERT_TRUE(TestFiles::Write(dest + "\\big.txt", "the previous version"));
    EXPECT_FALSE(DecompressArchive(archive.c_str(), dest.c_str()));
    EXPECT_EQ(TestFiles::Read(dest + "\\first.txt"), "written whole");
    EXPECT_EQ(TestFiles::Read(dest + "\\big.txt"), "the previous version");
    EXPECT_EQ(TestFiles::List(dest), (std::vector<std::string>{"big.txt", "first.txt"}));

    const std::string fresh = Destination("late-checksum-fresh");
    EXPECT_FALSE(DecompressArchive(archive.c_str(), fresh.c_str()));
    EXPECT_EQ(TestFiles::List(fresh), std::vector<std::string>{"first.txt"});
}

// A failure in one writer while another is in the middle of a file: the
// files come out as one writer would have left them. The entry before the
// failed one is written whole, the one after it is taken away again (an
// installed file under its name stays as it was) and nothing later is
// written. The long entries are longer than the read-ahead, so the other
// writer still has pieces of its own file to write when the failure shows;
// small ones around them are written whole meanwhile.
struct WriterFailureCase {
    const char* name;
    // In archive order; the one marked spoilt gets a checksum error.
    std::vector<std::pair<std::string, size_t>> entries;
    std::string spoilt;
    std::vector<std::string> installed;
    std::vector<std::string> written;
};

TEST_F(DecompressArchiveTest, FailureInOneWriterWhileAnotherIsMidFile)
{
    const size_t mb = 1024 * 1024;
    const WriterFailureCase cases[] = {
        {"later-file-taken-away", {{"bad.bin", 3 * mb}, {"next.bin", 8 * mb}, {"after.txt", 10}},
         "bad.bin", {"bad.bin", "next.bin"}, {}},
        {"later-fresh-file-taken-away", {{"bad.bin", 3 * mb}, {"next.bin", 8 * mb}, {"after.txt", 10}},
         "bad.bin", {}, {}},
        // The folders made for a later entry go with its file: one writer
        // would never have come to make them.
        {"later-folders-taken-away",
         {{"bad.bin", 8 * mb}, {"new/deeper/next.txt", 10}, {"new/other.txt", 10}, {"after.txt", 10}},
         "bad.bin", {}, {}},
        {"earlier-file-finished", {{"big.bin", 8 * mb}, {"bad.txt", 100}, {"after.txt", 10}},
         "bad.txt", {"bad.txt"}, {"big.bin"}},
        // Small files are written whole long before the big one ends, and
        // wait for it to be kept or taken away.
        {"small-files-after-a-failing-one",
         {{"bad.bin", 8 * mb}, {"s1.txt", 10}, {"s2.txt", 10}, {"s3.txt", 10}, {"s4.txt", 10}, {"s5.txt", 10}},
         "bad.bin", {"s2.txt"}, {}},
        {"small-files-before-a-failing-one",
         {{"s1.txt", 10}, {"s2.txt", 10}, {"big.bin", 8 * mb}, {"s3.txt", 10}, {"s4.txt", 10}, {"bad.txt", 100},
          {"after.txt", 10}},
         "bad.txt", {"bad.txt"}, {"s1.txt", "s2.txt", "big.bin", "s3.txt", "s4.txt"}},
    };
    for (const WriterFailureCase& c : cases) {
        const std::string archive = kArchives + c.name + ".zip";
        std::vector<std::string> texts;
        {
            ArchiveBuilder zip(archive);
            for (const auto& entry : c.entries) {
                texts.push_back(entry.first + BigText(entry.second));
                if (entry.first == c.spoilt)
                    texts.back() += "PAYLOAD-TO-SPOIL";
                ASSERT_TRUE(zip.Add(entry.first, texts.back(), false)) << c.name;
            }
            ASSERT_TRUE(zip.Close()) << c.name;
        }
        ASSERT_EQ(TestFiles::Patch(archive, "SPOIL", "SPOIT"), 1) << c.name;
        const std::string dest = Destination(c.name);
        for (const std::string& name : c.installed)
            ASSERT_TRUE(TestFiles::Write(dest + "\\" + name, "installed " + name)) << c.name;

        EXPECT_FALSE(DecompressArchive(archive.c_str(), dest.c_str())) << c.name;
        std::vector<std::string> expected = c.installed;
        for (size_t i = 0; i < c.entries.size(); ++i) {
            const std::string& name = c.entries[i].first;
            if (std::find(c.written.begin(), c.written.end(), name) != c.written.end()) {
                EXPECT_TRUE(TestFiles::Read(dest + "\\" + name) == texts[i]) << c.name << ": " << name;
                expected.push_back(name);
            } else if (std::find(c.installed.begin(), c.installed.end(), name) != c.installed.end()) {
                EXPECT_EQ(TestFiles::Read(dest + "\\" + name), "installed " + name) << c.name;
            }
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(TestFiles::List(dest), expected) << c.name;
    }
}

// Entries that name the same file, or a file and a folder on its way, come
// out in archive order however the writers share them: the last of a name
// wins, and a file first named as such blocks the folder of a later entry.
TEST_F(DecompressArchiveTest, EntriesOnTheSamePathKeepArchiveOrder)
{
    const std::string archive = kArchives + "same-path.zip";
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add("dup.txt", "first " + BigText(2 * 1024 * 1024), false));
        ASSERT_TRUE(zip.Add("other.txt", "other"));
        ASSERT_TRUE(zip.Add("dup.txt", "second " + BigText(1024 * 1024), false));
        ASSERT_TRUE(zip.Add("Dup.txt", "third"));
        ASSERT_TRUE(zip.Add("node", BigText(1024 * 1024), false));
        ASSERT_TRUE(zip.Add("node/inner.txt", "cannot go below a file"));
        ASSERT_TRUE(zip.Add("tree/leaf.txt", BigText(1024 * 1024), false));
        ASSERT_TRUE(zip.Add("tree", "cannot replace a folder"));
        ASSERT_TRUE(zip.Add("last.txt", "last"));
        ASSERT_TRUE(zip.Close());
    }
    const std::string dest = Destination("same-path");
    EXPECT_FALSE(DecompressArchive(archive.c_str(), dest.c_str()));
    EXPECT_EQ(TestFiles::Read(dest + "\\dup.txt"), "third");
    EXPECT_EQ(TestFiles::Read(dest + "\\other.txt"), "other");
    EXPECT_TRUE(TestFiles::Read(dest + "\\node") == BigText(1024 * 1024));
    EXPECT_TRUE(TestFiles::Read(dest + "\\tree\\leaf.txt") == BigText(1024 * 1024));
    EXPECT_EQ(TestFiles::Read(dest + "\\last.txt"), "last");
    // The third name differs in case only: which spelling the folder shows
    // is the file system's choice.
    std::vector<std::string> listed = TestFiles::List(dest);
    for (std::string& name : listed)
        std::transform(name.begin(), name.end(), name.begin(), [](char c) { return static_cast<char>(tolower(c)); });
    EXPECT_EQ(listed, (std::vector<std::string>{"dup.txt", "last.txt", "node", "other.txt", "tree\\",
                                                 "tree\\leaf.txt"}));
}

TEST_F(DecompressArchiveTest, ArchivesThatCannotBeOpenedGiveFalse)
{
    const std::string dest = Destination("unopened");
    EXPECT_FALSE(DecompressArchive(nullptr, dest.c_str()));
    EXPECT_FALSE(DecompressArchive((kArchives + "missing.zip").c_str(), dest.c_str()));
    ASSERT_TRUE(TestFiles::Write(kArchives + "not-a-zip.zip", "just some text, no archive"));
    EXPECT_FALSE(DecompressArchive((kArchives + "not-a-zip.zip").c_str(), dest.c_str()));
    EXPECT_TRUE(TestFiles::List(dest).empty());
}

TEST_F(DecompressArchiveTest, DestinationThatCannotBeWrittenGivesFalse)
{
    const std::string archive = kArchives + "unwritable.zip";
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add("a.txt", "a"));
        ASSERT_TRUE(zip.Add("b/b.txt", "b"));
        ASSERT_TRUE(zip.Close());
    }
    const std::string parent = Destination("unwritable");
    ASSERT_TRUE(TestFiles::Write(parent + "\\blocker", "a file where a folder would be"));
    EXPECT_FALSE(DecompressArchive(archive.c_str(), (parent + "\\blocker\\dest").c_str()));
    EXPECT_EQ(TestFiles::List(parent), std::vector<std::string>{"blocker"});
}

TEST_F(DecompressArchiveTest, EntryThatCannotBeWrittenIsSkippedAndReported)
{
    const std::string archive = kArchives + "skip.zip";
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add("clash", "a file"));
        ASSERT_TRUE(zip.Add("clash/inner.txt", "cannot go below a file"));
        ASSERT_TRUE(zip.Add("later.txt", "still extracted"));
        ASSERT_TRUE(zip.Close());
    }
    const std::string dest = Destination("skip");
    EXPECT_FALSE(DecompressArchive(archive.c_str(), dest.c_str()));
    EXPECT_EQ(TestFiles::Read(dest + "\\clash"), "a file");
    EXPECT_EQ(TestFiles::Read(dest + "\\later.txt"), "still extracted");
}

// An entry whose file cannot be created is skipped whatever its data holds:
// a spoilt checksum in it, small or longer than the read-ahead, does not end
// the extraction, since nothing of it was being written.
TEST_F(DecompressArchiveTest, EntryThatCannotBeWrittenIsSkippedEvenWhenItsDataIsSpoilt)
{
    const size_t sizes[] = {40, 3 * 1024 * 1024};
    for (size_t size : sizes) {
        const std::string name = "skip-spoilt-" + std::to_string(size);
        const std::string archive = kArchives + name + ".zip";
        {
            ArchiveBuilder zip(archive);
            ASSERT_TRUE(zip.Add("clash", "a file", false));
            ASSERT_TRUE(zip.Add("clash/inner.txt", BigText(size) + "PAYLOAD-TO-SPOIL", false));
            ASSERT_TRUE(zip.Add("later.txt", "still extracted", false));
            ASSERT_TRUE(zip.Close());
        }
        ASSERT_EQ(TestFiles::Patch(archive, "SPOIL", "SPOIT"), 1);
        const std::string dest = Destination(name);
        EXPECT_FALSE(DecompressArchive(archive.c_str(), dest.c_str())) << size;
        EXPECT_EQ(TestFiles::Read(dest + "\\clash"), "a file") << size;
        EXPECT_EQ(TestFiles::Read(dest + "\\later.txt"), "still extracted") << size;
        EXPECT_EQ(TestFiles::List(dest), (std::vector<std::string>{"clash", "later.txt"})) << size;
    }
}

TEST_F(DecompressArchiveTest, ChecksumErrorKeepsThePreviousFileAndStops)
{
    const std::string archive = kArchives + "checksum.zip";
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add("first.txt", "written whole", false));
        ASSERT_TRUE(zip.Add("bad.txt", "PAYLOAD-TO-SPOIL-0123456789", false));
        ASSERT_TRUE(zip.Add("after.txt", "never reached", false));
        ASSERT_TRUE(zip.Close());
    }
    ASSERT_EQ(TestFiles::Patch(archive, "SPOIL", "SPOIT"), 1);
    const std::string dest = Destination("checksum");
    // An update over an installed file: the failed entry leaves it as it was.
    ASSERT_TRUE(TestFiles::Write(dest + "\\bad.txt", "the previous version"));
    EXPECT_FALSE(DecompressArchive(archive.c_str(), dest.c_str()));
    EXPECT_EQ(TestFiles::Read(dest + "\\first.txt"), "written whole");
    EXPECT_EQ(TestFiles::Read(dest + "\\bad.txt"), "the previous version");
    EXPECT_EQ(TestFiles::List(dest), (std::vector<std::string>{"bad.txt", "first.txt"}));

    const std::string fresh = Destination("checksum-fresh");
    EXPECT_FALSE(DecompressArchive(archive.c_str(), fresh.c_str()));
    EXPECT_EQ(TestFiles::List(fresh), std::vector<std::string>{"first.txt"});
}

TEST_F(DecompressArchiveTest, DataShorterThanItsStoredSizeRemovesTheFile)
{
    const std::string archive = kArchives + "short.zip";
    const std::string text = BigText(20000);
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add("short.txt", text, true));
        ASSERT_TRUE(zip.Close());
    }
    ASSERT_TRUE(TestFiles::SetDeclaredSize(archive, static_cast<unsigned long>(text.size() + 5000)));
    const std::string dest = Destination("short");
    ASSERT_TRUE(TestFiles::Write(dest + "\\short.txt", "kept"));
    EXPECT_FALSE(DecompressArchive(archive.c_str(), dest.c_str()));
    EXPECT_EQ(TestFiles::Read(dest + "\\short.txt"), "kept");
    EXPECT_EQ(TestFiles::List(dest), std::vector<std::string>{"short.txt"});
}

// Deflated entries up to the whole-entry bound are inflated in one call,
// larger ones stream: on both sides of the bound an intact entry keeps its
// bytes, and a spoilt one (a declared size or checksum that lies, a broken
// stream) gives false and leaves the installed file as it was.
TEST_F(DecompressArchiveTest, DeflatedEntriesAroundTheWholeEntryBoundAreJudgedAlike)
{
    enum Spoil { kIntact, kDeclaredSmaller, kBrokenStream, kWrongChecksum };
    const size_t bound = WholeEntryInflater::kMostBytes;
    const struct {
        const char* name;
        size_t size;
        Spoil spoil;
    } cases[] = {
        {"declared-smaller", 20000, kDeclaredSmaller},
        // Block type 3 does not exist: the first block is refused as it
        // starts.
        {"broken-stream", 20000, kBrokenStream},
        {"wrong-checksum", 20000, kWrongChecksum},
        {"at-the-bound", bound, kIntact},
        {"over-the-bound", bound + 1, kIntact},
        {"declared-smaller-at-the-bound", bound, kDeclaredSmaller},
        {"wrong-checksum-at-the-bound", bound, kWrongChecksum},
        {"wrong-checksum-over-the-bound", bound + 1, kWrongChecksum},
        {"broken-stream-over-the-bound", bound + 1, kBrokenStream},
    };
    for (const auto& c : cases) {
        const std::string archive = kArchives + c.name + ".zip";
        const std::string text = BigText(c.size);
        {
            ArchiveBuilder zip(archive);
            ASSERT_TRUE(zip.Add("entry.txt", text, true));
            ASSERT_TRUE(zip.Close());
        }
        switch (c.spoil) {
        case kIntact:
            break;
        case kDeclaredSmaller:
            ASSERT_TRUE(TestFiles::SetDeclaredSize(archive, static_cast<unsigned long>(c.size - 1)));
            break;
        case kBrokenStream:
            ASSERT_TRUE(TestFiles::SetFirstDataByte(archive, 0x07));
            break;
        case kWrongChecksum:
            ASSERT_TRUE(TestFiles::SetDeclaredChecksum(archive, 0x12345678));
            break;
        }
        const std::string dest = Destination(c.name);
        ASSERT_TRUE(TestFiles::Write(dest + "\\entry.txt", "kept"));
        EXPECT_EQ(DecompressArchive(archive.c_str(), dest.c_str()), c.spoil == kIntact) << c.name;
        EXPECT_TRUE(TestFiles::Read(dest + "\\entry.txt") == (c.spoil == kIntact ? text : "kept")) << c.name;
        EXPECT_EQ(TestFiles::List(dest), std::vector<std::string>{"entry.txt"}) << c.name;
    }
}

// Declared sizes beyond the free space of the destination's volume (here
// about 170 GB in all): nothing is written, not even the entries that would
// fit on their own.
TEST_F(DecompressArchiveTest, ArchiveDeclaringMoreThanTheFreeSpaceWritesNothing)
{
    const std::string archive = kArchives + "toobig.zip";
    {
        ArchiveBuilder zip(archive);
        for (int i = 0; i < 40; ++i)
            ASSERT_TRUE(zip.Add("part" + std::to_string(i) + ".bin", "small", false));
        ASSERT_TRUE(zip.Close());
    }
    ASSERT_EQ(TestFiles::SetAllDeclaredSizes(archive, 0xFFFFFFF0ul), 40);
    ULARGE_INTEGER available;
    ASSERT_TRUE(GetDiskFreeSpaceExA("D:\\", &available, nullptr, nullptr));
    ASSERT_LT(available.QuadPart, 40ull * 0xFFFFFFF0ull) << "the volume holds what the archive declares";
    const std::string dest = Destination("toobig");
    EXPECT_FALSE(DecompressArchive(archive.c_str(), dest.c_str()));
    EXPECT_TRUE(TestFiles::List(dest).empty());
    EXPECT_FALSE(DecompressArchive(archive.c_str(), (dest + "\\not\\yet\\made").c_str()));
    EXPECT_TRUE(TestFiles::List(dest).empty());
}

// Names flagged as UTF-8 arrive with their letters; unflagged names keep
// going through the ANSI code page.
TEST_F(DecompressArchiveTest, NamesFlaggedUtf8AreCreatedWithTheirLetters)
{
    const std::string archive = kArchives + "utf8.zip";
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.AddUtf8("caf\xc3\xa9/na\xc3\xafve \xe2\x82\xac.txt", "utf8"));
        ASSERT_TRUE(zip.AddUtf8("\xef\xbc\x8e\xef\xbc\x8e\xef\xbc\x8fwide.txt", "fullwidth"));
        ASSERT_TRUE(zip.Add("ansi-\xe9.txt", "ansi"));
        ASSERT_TRUE(zip.Close());
    }
    const std::string dest = Destination("utf8");
    const std::wstring wideDest(dest.begin(), dest.end());
    EXPECT_TRUE(DecompressArchive(archive.c_str(), dest.c_str()));
    EXPECT_TRUE(TestFiles::ExistsW(wideDest + L"\\caf\u00e9\\na\u00efve \u20ac.txt"));
    EXPECT_TRUE(TestFiles::ExistsW(wideDest + L"\\\uff0e\uff0e\uff0fwide.txt"));
    EXPECT_TRUE(TestFiles::ExistsW(wideDest + L"\\ansi-\u00e9.txt"));
    EXPECT_EQ(TestFiles::List(dest).size(), 4u);
}

TEST_F(DecompressArchiveTest, NamesFlaggedUtf8ThatAreNoUtf8OrClimbOutAreRefused)
{
    const char* const names[] = {"bad-\xc3(.txt", "overlong-\xc0\xae\xc0\xae/x.txt",
                                 "surrogate-\xed\xa0\x80.txt", "cut-\xe2\x82", "../\xc3\xa9.txt",
                                 "COM\xc2\xb9", "lpt\xc2\xb3.log"};
    int index = 0;
    for (const char* name : names) {
        const std::string tag = std::to_string(++index);
        const std::string archive = kArchives + "utf8-bad-" + tag + ".zip";
        {
            ArchiveBuilder zip(archive);
            ASSERT_TRUE(zip.AddUtf8(name, "refused"));
            ASSERT_TRUE(zip.Add("ok.txt", "ok"));
            ASSERT_TRUE(zip.Close());
        }
        const std::string dest = Destination("utf8-bad-" + tag);
        EXPECT_FALSE(DecompressArchive(archive.c_str(), dest.c_str())) << tag;
        EXPECT_EQ(TestFiles::List(dest), std::vector<std::string>{"ok.txt"}) << tag;
    }
}

// The end of the central directory counts entries in 16 bits, and 65,535
// there is a real count, not the mark of a larger one. Folder entries keep
// the archives small and the run short: each counts as an entry, none
// writes a file, so the last file shows that every entry was walked.
TEST_F(DecompressArchiveTest, EntryCountsAroundTheSixteenBitLimitAreExtractedWhole)
{
    const unsigned long counts[] = {65534, 65535, 65536};
    for (unsigned long count : counts) {
        const std::string tag = std::to_string(count);
        const std::string archive = kArchives + "count-" + tag + ".zip";
        {
            ArchiveBuilder zip(archive);
            ASSERT_TRUE(zip.Add("first.txt", "first of " + tag, false));
            for (unsigned long i = 2; i < count; ++i)
                ASSERT_TRUE(zip.Add("folder/", "", false));
            ASSERT_TRUE(zip.Add("last.txt", "last of " + tag, false));
            ASSERT_TRUE(zip.Close());
        }
        {
            unzFile zip = unzOpen(archive.c_str());
            ASSERT_NE(zip, nullptr) << tag;
            unz_global_info64 global;
            const int result = unzGetGlobalInfo64(zip, &global);
            unzClose(zip);
            ASSERT_EQ(result, UNZ_OK) << tag;
            ASSERT_EQ(global.number_entry, count) << "entries the reader sees";
        }
        const std::string dest = Destination("count-" + tag);
        EXPECT_TRUE(DecompressArchive(archive.c_str(), dest.c_str())) << tag;
        EXPECT_EQ(TestFiles::List(dest), (std::vector<std::string>{"first.txt", "last.txt"})) << tag;
        EXPECT_EQ(TestFiles::Read(dest + "\\last.txt"), "last of " + tag) << tag;
    }
}

// A relative destination that does not exist yet is made, below the current
// folder, or below the root of the current drive for one that starts with a
// backslash; "D:name" is relative to drive D's current folder.
TEST_F(DecompressArchiveTest, RelativeDestinationsThatDoNotExistYetAreMade)
{
    const std::string archive = kArchives + "relative-new.zip";
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add("top.txt", "top"));
        ASSERT_TRUE(zip.Add("in/inner.txt", "inner"));
        ASSERT_TRUE(zip.Close());
    }
    const std::string current = Destination("relative-new");
    const struct {
        const char* destination;
        std::string resolved;
    } cases[] = {{"newdest", current + "\\newdest"},
                 {"two\\levels", current + "\\two\\levels"},
                 {"\\rooted-new", "D:\\rooted-new"},
                 {"\\rooted-new-two\\levels", "D:\\rooted-new-two\\levels"},
                 {"D:drive-relative", current + "\\drive-relative"}};
    char previous[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(sizeof(previous), previous), 0u);
    ASSERT_EQ(previous[0], 'D') << "the sandbox runs the test from drive D";
    ASSERT_TRUE(SetCurrentDirectoryA(current.c_str()));
    bool extracted[sizeof(cases) / sizeof(cases[0])];
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        extracted[i] = DecompressArchive(archive.c_str(), cases[i].destination);
    SetCurrentDirectoryA(previous);
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        EXPECT_TRUE(extracted[i]) << cases[i].destination;
        EXPECT_EQ(TestFiles::Read(cases[i].resolved + "\\top.txt"), "top") << cases[i].destination;
        EXPECT_EQ(TestFiles::Read(cases[i].resolved + "\\in\\inner.txt"), "inner") << cases[i].destination;
    }
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// A file's bytes through the \\?\ form, which reaches a path of any length.
std::string ReadLong(const std::wstring& path)
{
    const HANDLE file = CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<unreadable>";
    std::string data;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        data.append(buffer, read);
    CloseHandle(file);
    return data;
}

// Paths beyond the classic 260 characters, with folders beyond the 248 that
// a folder takes in the plain form: a name whose folders take it there, a
// long destination that does not exist yet, a relative one, and a second
// extraction that replaces the files at the end of such paths.
TEST_F(DecompressArchiveTest, PathsLongerThanTheClassicLimitAreWritten)
{
    const std::string deepName = std::string(120, 'n') + "/" + std::string(120, 'm') + "/f.txt";
    const std::string longName = std::string(100, 'c') + "/" + std::string(140, 'e') + ".txt";
    const std::string current = Destination("long-relative");
    const std::string longDest = Destination("long") + "\\" + std::string(200, 'a') + "\\" + std::string(150, 'b');
    const std::string relativeDest = std::string(180, 'r') + "\\" + std::string(120, 's');
    const std::string nameDest = Destination("long-name");
    const struct {
        const char* tag;
        std::string name;
        std::string destination;
        std::string resolved;
    } cases[] = {{"deep-name", deepName, nameDest, nameDest},
                 {"long-destination", longName, longDest, longDest},
                 {"relative", longName, relativeDest, current + "\\" + relativeDest}};
    for (const auto& c : cases) {
        const std::string path = c.resolved + "\\" + c.name;
        ASSERT_GT(path.size(), 260u) << c.tag;
        for (int round = 0; round < 2; ++round) {
            const std::string content = std::string(c.tag) + (round == 0 ? " first" : " replaced");
            const std::string archive = kArchives + "long-" + c.tag + std::to_string(round) + ".zip";
            {
                ArchiveBuilder zip(archive);
                ASSERT_TRUE(zip.Add(c.name, content));
                ASSERT_TRUE(zip.Close());
            }
            char previous[MAX_PATH];
            ASSERT_NE(GetCurrentDirectoryA(sizeof(previous), previous), 0u);
            ASSERT_TRUE(SetCurrentDirectoryA(current.c_str()));
            const bool extracted = DecompressArchive(archive.c_str(), c.destination.c_str());
            SetCurrentDirectoryA(previous);
            EXPECT_TRUE(extracted) << c.tag << " round " << round;
            std::string expected = path;
            for (char& ch : expected)
                if (ch == '/')
                    ch = '\\';
            EXPECT_EQ(ReadLong(Wide(expected)), content) << c.tag << " round " << round;
        }
    }
}

FILETIME UtcFileTime(WORD year, WORD month, WORD day, WORD hour)
{
    SYSTEMTIME utc = {year, month, 0, day, hour, 0, 0, 0};
    FILETIME result = {};
    SystemTimeToFileTime(&utc, &result);
    return result;
}

std::string Describe(const FILETIME& time)
{
    SYSTEMTIME st = {};
    FileTimeToSystemTime(&time, &st);
    char text[64];
    snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u UTC", st.wYear, st.wMonth, st.wDay,
             st.wHour, st.wMinute, st.wSecond);
    return text;
}

// The test runs with the time zone of Berlin: UTC+1 in winter, UTC+2 in
// summer. Both entries say 12:00 local time.
TEST_F(DecompressArchiveTest, FileTimesFollowTheDaylightSavingOfTheEntrysDate)
{
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    ASSERT_EQ(zone.Bias, -60) << "the test needs TZ=Europe/Berlin";
    ASSERT_EQ(zone.DaylightBias, -60) << "the test needs TZ=Europe/Berlin";

    const SYSTEMTIME summer = {2024, 7, 0, 15, 12, 0, 0, 0};
    const SYSTEMTIME winter = {2024, 1, 0, 15, 12, 0, 0, 0};
    const std::string archive = kArchives + "times.zip";
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add("summer.txt", "july", true, &summer));
        ASSERT_TRUE(zip.Add("winter.txt", "january", true, &winter));
        ASSERT_TRUE(zip.Close());
    }
    const std::string dest = Destination("times");
    ASSERT_TRUE(DecompressArchive(archive.c_str(), dest.c_str()));

    struct Expectation {
        const char* name;
        FILETIME utc;
    } expectations[] = {{"summer.txt", UtcFileTime(2024, 7, 15, 10)},
                        {"winter.txt", UtcFileTime(2024, 1, 15, 11)}};
    for (const Expectation& expected : expectations) {
        FILETIME created;
        FILETIME written;
        ASSERT_TRUE(TestFiles::FileTimes(dest + "\\" + expected.name, created, written));
        EXPECT_EQ(Describe(written), Describe(expected.utc)) << expected.name;
        EXPECT_EQ(Describe(created), Describe(expected.utc)) << expected.name;
    }
}

// Archives shifted, cut or lying about where and how long their parts are,
// as a damaged download or a hostile sender gives them: the entries read
// before the damage are written whole, nothing at or after it is, and
// nothing is read from outside the file. The second entry does not fit a
// read window; the third does.
namespace Damage {

std::string Field(unsigned long value, size_t bytes)
{
    std::string field;
    for (size_t i = 0; i < bytes; ++i)
        field += static_cast<char>((value >> (8 * i)) & 0xFF);
    return field;
}

// The offset of the central directory record of the named entry.
size_t DirectoryRecord(const std::string& zip, const std::string& name)
{
    for (size_t at = zip.find("PK\x01\x02"); at != std::string::npos; at = zip.find("PK\x01\x02", at + 1))
        if (zip.compare(at + 46, name.size(), name) == 0)
            return at;
    return std::string::npos;
}

size_t LocalHeader(const std::string& zip, const std::string& name)
{
    for (size_t at = zip.find("PK\x03\x04"); at != std::string::npos; at = zip.find("PK\x03\x04", at + 1))
        if (zip.compare(at + 30, name.size(), name) == 0)
            return at;
    return std::string::npos;
}

void Prefix(std::string& zip) { zip.insert(0, std::string(777, '\x5a')); }
void CutInsideSecondData(std::string& zip) { zip.resize(LocalHeader(zip, "second.bin") + 300 * 1024); }
void DirectoryPastTheEnd(std::string& zip)
{
    zip.replace(zip.rfind("PK\x05\x06") + 16, 4, Field(static_cast<unsigned long>(zip.size() + 100), 4));
}
void SecondCompressedSizePastTheEnd(std::string& zip)
{
    const std::string size = Field(static_cast<unsigned long>(zip.size() + 4096), 4);
    zip.replace(DirectoryRecord(zip, "second.bin") + 20, 4, size);
    zip.replace(LocalHeader(zip, "second.bin") + 18, 4, size);
}
void ThirdCompressedSizeShort(std::string& zip)
{
    const size_t record = DirectoryRecord(zip, "third.txt");
    unsigned long size = 0;
    for (size_t i = 0; i < 4; ++i)
        size |= static_cast<unsigned long>(static_cast<unsigned char>(zip[record + 20 + i])) << (8 * i);
    zip.replace(record + 20, 4, Field(size / 2, 4));
    zip.replace(LocalHeader(zip, "third.txt") + 18, 4, Field(size / 2, 4));
}
void ThirdHeaderPastTheEnd(std::string& zip)
{
    zip.replace(DirectoryRecord(zip, "third.txt") + 42, 4, Field(static_cast<unsigned long>(zip.size() + 10), 4));
}

} // namespace Damage

TEST_F(DecompressArchiveTest, DamagedArchivesKeepOnlyTheEntriesBeforeTheDamage)
{
    std::string noise;
    unsigned state = 99;
    while (noise.size() < 600 * 1024) {
        state = state * 1103515245u + 12345u;
        noise += static_cast<char>(state >> 16);
    }
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"first.txt", "first"}, {"second.bin", noise}, {"third.txt", BigText(30000)}, {"fourth.txt", "fourth"}};
    const std::string built = kArchives + "damage-built.zip";
    {
        ArchiveBuilder zip(built);
        for (size_t i = 0; i < entries.size(); ++i)
            ASSERT_TRUE(zip.Add(entries[i].first, entries[i].second, i + 1 < entries.size()));
        ASSERT_TRUE(zip.Close());
    }
    const struct {
        const char* name;
        void (*damage)(std::string&);
        // True: the archive opens, and this many entries come out whole.
        bool opens;
        size_t whole;
    } cases[] = {{"damage-prefix", Damage::Prefix, true, 4},
                 {"damage-cut", Damage::CutInsideSecondData, false, 0},
                 {"damage-directory-past-end", Damage::DirectoryPastTheEnd, false, 0},
                 {"damage-size-past-end", Damage::SecondCompressedSizePastTheEnd, true, 1},
                 {"damage-size-short", Damage::ThirdCompressedSizeShort, true, 2},
                 {"damage-header-past-end", Damage::ThirdHeaderPastTheEnd, true, 2}};
    for (const auto& c : cases) {
        std::string zip = TestFiles::Read(built);
        c.damage(zip);
        const std::string archive = kArchives + c.name + ".zip";
        ASSERT_TRUE(TestFiles::Write(archive, zip)) << c.name;
        const std::string dest = Destination(c.name);
        EXPECT_EQ(DecompressArchive(archive.c_str(), dest.c_str()), c.opens && c.whole == entries.size()) << c.name;
        std::vector<std::string> expected;
        for (size_t i = 0; i < c.whole; ++i) {
            EXPECT_TRUE(TestFiles::Read(dest + "\\" + entries[i].first) == entries[i].second)
                << c.name << ": " << entries[i].first;
            expected.push_back(entries[i].first);
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(TestFiles::List(dest), expected) << c.name;
    }
}

} // namespace
