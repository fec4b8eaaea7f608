#ifndef ENTRYROUTER_H
#define ENTRYROUTER_H

#include <windows.h>

#include <stddef.h>

#include <memory>
#include <string>
#include <vector>

#include "BlockQueue.h"
#include "EntryLedger.h"

// Between the thread that reads an archive and the writers of its files:
// one block queue per writer, each entry sent whole to one of them, and the
// ledger that keeps the files in archive order (EntryLedger) behind one
// lock. The waits of the writers end early once the extraction is
// cancelled or the entry is abandoned.
class EntryRouter {
public:
    // Throws std::bad_alloc when the blocks cannot be had.
    EntryRouter(size_t writers, size_t blockCount, size_t blockSize);
    EntryRouter(const EntryRouter&) = delete;
    EntryRouter& operator=(const EntryRouter&) = delete;

    size_t Writers() const { return m_Queues.size(); }
    BlockQueue& Queue(size_t writer) { return *m_Queues[writer]; }

    // Reading side: the queue of the least busy writer for the next entry,
    // whose output path is given, and the entry's number. Null once the
    // extraction failed or was cancelled: nothing more is to be read.
    BlockQueue* Route(const std::wstring& path, EntryLedger::Entry& entry);
    // Nothing more will come.
    void Close();

    // Writing side: each waits for its turn; false when the entry is
    // abandoned instead.
    bool AwaitCreate(EntryLedger::Entry entry);
    bool AwaitCommit(EntryLedger::Entry entry);
    // The same turns without waiting: whether AwaitCreate would return at
    // once, and what AwaitCommit would say now.
    enum class Turn { Wait, Go, GiveUp };
    bool CreateTurnCame(EntryLedger::Entry entry);
    Turn CommitTurn(EntryLedger::Entry entry);
    void Settle(EntryLedger::Entry entry);
    void Finish(EntryLedger::Entry entry);
    // The entry failed: the reading stops, later entries are abandoned,
    // earlier ones are still written.
    void Fail(EntryLedger::Entry entry);
    // Everything stops: the reader, every writer and every wait.
    void Cancel();
    bool Failed();

private:
    template <class Predicate>
    bool Await(EntryLedger::Entry entry, Predicate turn);
    void StopFilling();

    std::vector<std::unique_ptr<BlockQueue>> m_Queues;
    EntryLedger m_Ledger;
    bool m_bCancelled;
    SRWLOCK m_Lock;
    CONDITION_VARIABLE m_Changed;
};

#endif
