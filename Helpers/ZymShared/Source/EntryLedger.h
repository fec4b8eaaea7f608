#ifndef ENTRYLEDGER_H
#define ENTRYLEDGER_H

#include <stddef.h>

#include <map>
#include <string>
#include <vector>

// The entries of one extraction that were handed to its writers and are not
// finished yet, numbered in archive order. Several writers work at once, yet
// the files come out as if one had written them in that order: an entry
// creates its file only after every earlier entry on a related path (the
// same path, a folder on its way or a path below it, a short alias standing
// for any name) is finished, it is
// kept only after every earlier entry is settled (can no longer fail), and
// a failed entry abandons everything after it while the entries before it
// go on. Keys are output paths folded as the file system compares names.
class EntryLedger {
public:
    typedef unsigned long long Entry;

    explicit EntryLedger(size_t writers);

    // The writer holding the fewest unfinished entries.
    size_t LeastBusy() const;
    // Records the next entry for the given writer; returns its number.
    Entry Add(size_t writer, const std::wstring& key);
    bool MayCreate(Entry entry) const;
    bool MayCommit(Entry entry) const;
    // The entry can no longer fail the extraction: later ones may be kept.
    void Settle(Entry entry);
    // Written, skipped or abandoned, its file closed: the entry no longer
    // holds anyone up.
    void Finish(Entry entry);
    // The first failure counts: entries after it are abandoned.
    void Fail(Entry entry);
    bool Abandoned(Entry entry) const;
    bool Failed() const { return m_bFailed; }

private:
    struct Held {
        size_t writer;
        std::wstring key;
        bool settled;
    };

    std::map<Entry, Held> m_Unfinished;
    std::vector<size_t> m_HeldBy;
    Entry m_Next;
    Entry m_FirstFailed;
    bool m_bFailed;
};

#endif
