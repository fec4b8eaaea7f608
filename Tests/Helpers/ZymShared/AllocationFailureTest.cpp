#include "ZymShared.h"

#include "AllocationCountdown.h"
#include "ArchiveBuilder.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <stdio.h>

#include <map>
#include <string>

// Runs in the sandbox prefix with the extraction built into the program, so
// that its allocations go through the countdown: archives are made in
// D:\archives, extracted below D:\out.
namespace {

const char kOldContent[] = "the previous version";
// Stands for the content of a file that could not be opened.
const char kStillOpen[] = "<still open>";

// The files of the archive below, by the relative path they are written to.
std::map<std::wstring, std::string> ArchiveFiles()
{
    return {{L"top.txt", "top of the archive"},
            {L"sub\\deeper\\inner.txt", std::string(5000, 'i') + "inner"},
            {L"replace.txt", "the new version"},
            {L"last.txt", "last"}};
}

std::string ReadWhole(HANDLE file)
{
    std::string data;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        data.append(buffer, read);
    return data;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// Every file below the destination, by its relative path, with its content.
// Each is opened without sharing, which fails while any other handle to it
// is open: such a file is named in problems.
void ReadFilesBelow(const std::wstring& root, const std::wstring& relative,
                    std::map<std::wstring, std::string>& found, std::string& problems)
{
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((root + relative + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ReadFilesBelow(root, relative + name + L"\\", found, problems);
            continue;
        }
        const HANDLE file = CreateFileW((root + relative + name).c_str(), GENERIC_READ, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            problems += " a handle is still open on " + Narrow(relative + name) + " (error " +
                        std::to_string(error) + ");";
            found[relative + name] = kStillOpen;
            continue;
        }
        found[relative + name] = ReadWhole(file);
        CloseHandle(file);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

// Each allocation of the extraction fails in turn, first those of the
// calling thread (the writer), then those of the reading thread: nothing
// escapes the export, the failure is reported, no handle stays open, and
// every file under a final name is the whole entry (or, for a file to be
// replaced, still the previous version); no temporary file is left.
TEST(AllocationFailureTest, EachFailedAllocationLeavesOnlyWholeFilesAndNoHandle)
{
    ASSERT_TRUE(TestFiles::MakeFolders("D:\\archives"));
    const std::string archive = "D:\\archives\\allocation.zip";
    const std::map<std::wstring, std::string> files = ArchiveFiles();
    {
        ArchiveBuilder zip(archive);
        ASSERT_TRUE(zip.Add("top.txt", files.at(L"top.txt"), false));
        ASSERT_TRUE(zip.Add("folder/", ""));
        ASSERT_TRUE(zip.Add("sub/deeper/inner.txt", files.at(L"sub\\deeper\\inner.txt")));
        ASSERT_TRUE(zip.Add("replace.txt", files.at(L"replace.txt")));
        ASSERT_TRUE(zip.Add("last.txt", files.at(L"last.txt"), false));
        ASSERT_TRUE(zip.Close());
    }

    const struct {
        AllocationCountdown::Side side;
        const char* name;
    } sides[] = {{AllocationCountdown::ThisThread, "writer"},
                 {AllocationCountdown::OtherThreads, "reader"}};
    for (const auto& side : sides) {
        long n = 1;
        bool wentPast = false;
        for (; n < 5000; ++n) {
            const std::string dest = "D:\\out\\allocation-" + std::string(side.name) + "-" + std::to_string(n);
            ASSERT_TRUE(TestFiles::MakeFolders(dest));
            ASSERT_TRUE(TestFiles::Write(dest + "\\replace.txt", kOldContent));

            bool result = false;
            bool threw = false;
            AllocationCountdown::Arm(side.side, n);
            try {
                result = DecompressArchive(archive.c_str(), dest.c_str());
            } catch (...) {
                threw = true;
            }
            const bool failed = AllocationCountdown::Disarm();

            std::string problems;
            if (threw)
                problems += " an exception left DecompressArchive;";
            std::map<std::wstring, std::string> found;
            ReadFilesBelow(std::wstring(dest.begin(), dest.end()) + L"\\", L"", found, problems);
            for (const auto& file : found) {
                const auto entry = files.find(file.first);
                if (entry == files.end())
                    problems += " unexpected file " + Narrow(file.first) + ";";
                else if (file.second != entry->second && file.second != kStillOpen &&
                         !(file.first == L"replace.txt" && file.second == kOldContent))
                    problems += " " + Narrow(file.first) + " holds " + std::to_string(file.second.size()) +
                                " bytes, not the entry's " + std::to_string(entry->second.size()) + ";";
            }
            if (found.count(L"replace.txt") == 0)
                problems += " the file to be replaced is gone;";
            if (failed && result)
                problems += " the failed allocation was not reported;";
            if (!failed && (!result || found.size() != files.size()))
                problems += " with no allocation failed, the archive was not extracted whole;";
            if (!problems.empty()) {
                ADD_FAILURE() << side.name << " allocation " << n << ":" << problems;
                break;
            }
            // The countdown went past the last allocation: every one was
            // failed once.
            if (!failed) {
                wentPast = true;
                break;
            }
        }
        if (!wentPast) {
            EXPECT_LT(n, 5000) << side.name << ": the countdown never went past the last allocation";
            continue;
        }
        // Both sides allocate (the writer its destination, blocks and output
        // files, the reader each entry's name and path): a count this low
        // would mean the countdown missed them.
        EXPECT_GT(n, 3) << side.name;
        printf("%s: each of %ld allocations failed in turn\n", side.name, n - 1);
    }
}

} // namespace
