#include "EntryRouter.h"

namespace {

// Held from construction to destruction, released on every way out.
class ExclusiveHold {
public:
    explicit ExclusiveHold(SRWLOCK& lock) : m_Lock(lock) { AcquireSRWLockExclusive(&m_Lock); }
    ~ExclusiveHold() { ReleaseSRWLockExclusive(&m_Lock); }
    ExclusiveHold(const ExclusiveHold&) = delete;
    ExclusiveHold& operator=(const ExclusiveHold&) = delete;

private:
    SRWLOCK& m_Lock;
};

// Names are compared as the file system compares them, without regard to
// case: two spellings of one path must wait for each other.
std::wstring Folded(const std::wstring& path)
{
    std::wstring key(path);
    if (!key.empty())
        CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

} // namespace

EntryRouter::EntryRouter(size_t writers, size_t blockCount, size_t blockSize)
    : m_Ledger(writers), m_bCancelled(false)
{
    for (size_t i = 0; i < (writers == 0 ? 1 : writers); ++i)
        m_Queues.push_back(std::unique_ptr<BlockQueue>(new BlockQueue(blockCount, blockSize)));
    InitializeSRWLock(&m_Lock);
    InitializeConditionVariable(&m_Changed);
}

BlockQueue* EntryRouter::Route(const std::wstring& path, EntryLedger::Entry& entry)
{
    const std::wstring key = Folded(path);
    ExclusiveHold hold(m_Lock);
    if (m_bCancelled || m_Ledger.Failed())
        return nullptr;
    const size_t writer = m_Ledger.LeastBusy();
    entry = m_Ledger.Add(writer, key);
    return m_Queues[writer].get();
}

void EntryRouter::Close()
{
    for (const auto& queue : m_Queues)
        queue->Close();
}

template <class Predicate>
bool EntryRouter::Await(EntryLedger::Entry entry, Predicate turn)
{
    ExclusiveHold hold(m_Lock);
    while (!m_bCancelled && !m_Ledger.Abandoned(entry) && !turn())
        SleepConditionVariableSRW(&m_Changed, &m_Lock, INFINITE, 0);
    return !m_bCancelled && !m_Ledger.Abandoned(entry);
}

bool EntryRouter::AwaitCreate(EntryLedger::Entry entry)
{
    return Await(entry, [this, entry] { return m_Ledger.MayCreate(entry); });
}

bool EntryRouter::AwaitCommit(EntryLedger::Entry entry)
{
    return Await(entry, [this, entry] { return m_Ledger.MayCommit(entry); });
}

bool EntryRouter::CreateTurnCame(EntryLedger::Entry entry)
{
    ExclusiveHold hold(m_Lock);
    return m_bCancelled || m_Ledger.Abandoned(entry) || m_Ledger.MayCreate(entry);
}

EntryRouter::Turn EntryRouter::CommitTurn(EntryLedger::Entry entry)
{
    ExclusiveHold hold(m_Lock);
    if (m_bCancelled || m_Ledger.Abandoned(entry))
        return Turn::GiveUp;
    return m_Ledger.MayCommit(entry) ? Turn::Go : Turn::Wait;
}

void EntryRouter::Settle(EntryLedger::Entry entry)
{
    {
        ExclusiveHold hold(m_Lock);
        m_Ledger.Settle(entry);
    }
    WakeAllConditionVariable(&m_Changed);
}

void EntryRouter::Finish(EntryLedger::Entry entry)
{
    {
        ExclusiveHold hold(m_Lock);
        m_Ledger.Finish(entry);
    }
    WakeAllConditionVariable(&m_Changed);
}

void EntryRouter::Fail(EntryLedger::Entry entry)
{
    {
        ExclusiveHold hold(m_Lock);
        m_Ledger.Fail(entry);
    }
    WakeAllConditionVariable(&m_Changed);
    StopFilling();
}

void EntryRouter::Cancel()
{
    {
        ExclusiveHold hold(m_Lock);
        m_bCancelled = true;
    }
    WakeAllConditionVariable(&m_Changed);
    for (const auto& queue : m_Queues)
        queue->Cancel();
}

bool EntryRouter::Failed()
{
    ExclusiveHold hold(m_Lock);
    return m_bCancelled || m_Ledger.Failed();
}

void EntryRouter::StopFilling()
{
    for (const auto& queue : m_Queues)
        queue->StopFilling();
}
