#include "EntryLedger.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Paths of earlier unfinished entries against the path of a later one:
// whether the later one may create its file now. Keys come folded, with
// backslashes only; a prefix that ends inside a name is no folder of it.
struct CreateCase {
    std::vector<std::wstring> earlier;
    std::wstring later;
    bool mayCreate;
};

const CreateCase kCreateCases[] = {
    {{}, L"D:\\OUT\\A.TXT", true},
    {{L"D:\\OUT\\A.TXT"}, L"D:\\OUT\\A.TXT", false},
    {{L"D:\\OUT\\A"}, L"D:\\OUT\\A\\B.TXT", false},
    {{L"D:\\OUT\\A\\B\\C.TXT"}, L"D:\\OUT\\A", false},
    {{L"D:\\OUT\\A\\"}, L"D:\\OUT\\A\\B.TXT", false},
    {{L"D:\\OUT\\AB.TXT"}, L"D:\\OUT\\A", true},
    {{L"D:\\OUT\\A"}, L"D:\\OUT\\AB\\C.TXT", true},
    {{L"D:\\OUT\\X\\A.TXT", L"D:\\OUT\\Y\\B.TXT"}, L"D:\\OUT\\Z.TXT", true},
    {{L"D:\\OUT\\X\\A.TXT", L"D:\\OUT\\Y\\B.TXT"}, L"D:\\OUT\\Y", false},
    // A short name may be the alias the file system gave a long one: the
    // two spellings name one file or folder, in either order and at any
    // level.
    {{L"D:\\OUT\\LONGFILENAME.TXT"}, L"D:\\OUT\\LONGFI~1.TXT", false},
    {{L"D:\\OUT\\LONGFI~1.TXT"}, L"D:\\OUT\\LONGFILENAME.TXT", false},
    {{L"D:\\OUT\\LONGFOLDER\\A.TXT"}, L"D:\\OUT\\LONGFO~1\\A.TXT", false},
    {{L"D:\\OUT\\LONGFO~1"}, L"D:\\OUT\\LONGFOLDERNAME\\A.TXT", false},
    {{L"D:\\OUT\\X\\LONGFILENAME.TXT"}, L"D:\\OUT\\Y\\LONGFI~1.TXT", true},
    {{L"D:\\OUT\\LONGFO~1\\A.TXT"}, L"D:\\OUT\\LONGFOLDER\\B.TXT", true},
    // A tilde in a name that cannot be short stands for nothing else.
    {{L"D:\\OUT\\A.TXT"}, L"D:\\OUT\\NOTES.TXT~", true},
    {{L"D:\\OUT\\A.TXT"}, L"D:\\OUT\\LONGER~NAME.TXT", true},
};

TEST(EntryLedgerTest, LaterEntryWaitsForEarlierOnesOnRelatedPaths)
{
    for (const CreateCase& c : kCreateCases) {
        EntryLedger ledger(2);
        for (size_t i = 0; i < c.earlier.size(); ++i)
            ledger.Add(i % 2, c.earlier[i]);
        const EntryLedger::Entry later = ledger.Add(1, c.later);
        EXPECT_EQ(ledger.MayCreate(later), c.mayCreate) << std::string(c.later.begin(), c.later.end());
        // Once the earlier ones are finished, nothing holds it up.
        for (EntryLedger::Entry e = 0; e < later; ++e)
            ledger.Finish(e);
        EXPECT_TRUE(ledger.MayCreate(later));
        // A later entry never holds up an earlier one.
        const EntryLedger::Entry after = ledger.Add(0, c.later);
        EXPECT_TRUE(ledger.MayCreate(later));
        EXPECT_FALSE(ledger.MayCreate(after));
    }
}

// Keeping goes in archive order: an entry is kept only once every earlier
// one is settled or finished, whichever writer holds it and in whatever
// order they get there.
TEST(EntryLedgerTest, EntriesAreKeptOnlyAfterEveryEarlierOneIsSettled)
{
    EntryLedger ledger(2);
    const EntryLedger::Entry a = ledger.Add(0, L"A");
    const EntryLedger::Entry b = ledger.Add(1, L"B");
    const EntryLedger::Entry c = ledger.Add(1, L"C");
    EXPECT_TRUE(ledger.MayCommit(a));
    EXPECT_FALSE(ledger.MayCommit(b));
    EXPECT_FALSE(ledger.MayCommit(c));
    ledger.Settle(a);
    EXPECT_TRUE(ledger.MayCommit(b));
    EXPECT_FALSE(ledger.MayCommit(c));
    ledger.Finish(b);
    EXPECT_TRUE(ledger.MayCommit(c));
    ledger.Finish(a);
    EXPECT_TRUE(ledger.MayCommit(c));
}

// The first failure abandons everything after it and nothing before it; a
// later failure does not move it.
TEST(EntryLedgerTest, FailureAbandonsOnlyTheEntriesAfterIt)
{
    EntryLedger ledger(2);
    std::vector<EntryLedger::Entry> entries;
    for (int i = 0; i < 5; ++i)
        entries.push_back(ledger.Add(static_cast<size_t>(i % 2), L"F" + std::to_wstring(i)));
    EXPECT_FALSE(ledger.Failed());
    ledger.Fail(entries[3]);
    ledger.Fail(entries[2]);
    ledger.Fail(entries[4]);
    EXPECT_TRUE(ledger.Failed());
    const bool abandoned[] = {false, false, false, true, true};
    for (size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(ledger.Abandoned(entries[i]), abandoned[i]) << i;
}

// Entries go to the writer holding the fewest unfinished ones, the first on
// a tie, and a writer's finished entries no longer count.
TEST(EntryLedgerTest, EntriesGoToTheLeastBusyWriter)
{
    EntryLedger ledger(3);
    std::vector<size_t> chosen;
    std::vector<EntryLedger::Entry> entries;
    for (int i = 0; i < 4; ++i) {
        chosen.push_back(ledger.LeastBusy());
        entries.push_back(ledger.Add(chosen.back(), L"E" + std::to_wstring(i)));
    }
    EXPECT_EQ(chosen, (std::vector<size_t>{0, 1, 2, 0}));
    ledger.Finish(entries[2]);
    EXPECT_EQ(ledger.LeastBusy(), 2u);
    ledger.Finish(entries[1]);
    ledger.Finish(entries[0]);
    ledger.Finish(entries[3]);
    EXPECT_EQ(ledger.LeastBusy(), 0u);
}

} // namespace
