#include "EntryWriter.h"

#include "EntryOutput.h"
#include "EntryRouter.h"

#include "unzip.h"

namespace {

// Written files held open while earlier entries are still on their way:
// enough that a writer seldom waits for another one, few enough that the
// handles held stay a handful.
const size_t kMostWaiting = 8;

} // namespace

EntryWriter::EntryWriter(EntryRouter& router, size_t index)
    : BaseThread(1), m_Router(router), m_nIndex(index), m_bRunning(false), m_bComplete(false)
{
}

EntryWriter::~EntryWriter()
{
    if (!m_bRunning)
        return;
    m_Router.Cancel();
    WaitForExit(-1);
}

int EntryWriter::Start()
{
    const int result = BaseThread::Start();
    m_bRunning = result == 0;
    return result;
}

bool EntryWriter::Finish()
{
    if (m_bRunning) {
        WaitForExit(-1);
        m_bRunning = false;
    }
    return m_bComplete;
}

void EntryWriter::Run()
{
    WriteAll();
}

void EntryWriter::WriteAll()
{
    // Nothing may end a writer but its own return: a failure of any kind,
    // memory included, stops the extraction, and the files not kept yet go.
    m_bComplete = true;
    try {
        m_bComplete = WriteEntries() && m_bComplete;
    } catch (...) {
        m_bComplete = false;
        m_Router.Cancel();
    }
    while (!m_Written.empty()) {
        m_Router.Finish(m_Written.front().entry);
        m_Written.pop_front();
    }
}

void EntryWriter::KeepWritten(bool wait)
{
    while (!m_Written.empty()) {
        Written& oldest = m_Written.front();
        EntryRouter::Turn turn = m_Router.CommitTurn(oldest.entry);
        if (turn == EntryRouter::Turn::Wait && wait)
            turn = m_Router.AwaitCommit(oldest.entry) ? EntryRouter::Turn::Go : EntryRouter::Turn::GiveUp;
        if (turn == EntryRouter::Turn::Wait)
            return;
        if (turn == EntryRouter::Turn::GiveUp || !oldest.out->Commit(oldest.dosDate))
            m_bComplete = false;
        // Given up, the file goes with its output.
        oldest.out.reset();
        m_Router.Finish(oldest.entry);
        m_Written.pop_front();
        wait = false;
    }
}

void EntryWriter::KeepAllWritten()
{
    while (!m_Written.empty())
        KeepWritten(true);
}

// True when each entry it was sent was written whole. A file that cannot be
// written fails the extraction: what failed it (a full volume, a lost drive)
// would fail the rest as well. So does an entry that could not be read whole
// while its file was being written; one whose file could not be created is
// skipped, whatever its data held.
//
// A file written whole is kept only once every earlier entry is settled,
// since a failure before it would have ended the extraction. Rather than
// wait for that, the writer goes on with its next entries and keeps the
// file when its turn has come. It waits holding such files only for the
// oldest one's turn, which depends on nothing but other writers finishing
// earlier entries: before any other wait, it keeps them all.
bool EntryWriter::WriteEntries()
{
    BlockQueue& queue = m_Router.Queue(m_nIndex);
    std::unique_ptr<EntryOutput> out;
    bool inEntry = false;
    EntryLedger::Entry entry = 0;
    unsigned long dosDate = 0;
    for (;;) {
        KeepWritten(false);
        if (!m_Written.empty() && !queue.Ready()) {
            KeepWritten(true);
            continue;
        }
        InflatedBlock* block = queue.NextToWrite();
        if (block == nullptr)
            break;
        if (block->begins) {
            inEntry = true;
            entry = block->entry;
            dosDate = block->dosDate;
            // An earlier entry on a related path may be one of those
            // waiting here.
            if (!m_Written.empty() && !m_Router.CreateTurnCame(entry))
                KeepAllWritten();
            // An abandoned entry's blocks are passed over.
            if (m_Router.AwaitCreate(entry)) {
                out.reset(new EntryOutput(block->path, block->makeFolders));
                if (!out->IsOpen())
                    m_bComplete = false;
            } else {
                m_bComplete = false;
            }
        }
        if (out && out->IsOpen() && block->size > 0 &&
            !out->Write(block->data.get(), static_cast<DWORD>(block->size))) {
            out.reset();
            m_Router.Fail(entry);
            m_Router.Finish(entry);
            // The entries before the failed one are still kept.
            KeepAllWritten();
            return false;
        }
        if (block->ends) {
            const bool opened = out && out->IsOpen();
            if (opened && block->result != UNZ_OK) {
                out.reset();
                m_Router.Fail(entry);
                m_Router.Finish(entry);
                KeepAllWritten();
                return false;
            }
            if (opened) {
                // Written whole, the entry can no longer fail the extraction;
                // held first, so that a failure to hold it leaves it unsettled
                // and no later file is kept before the extraction stops.
                m_Written.push_back(Written{entry, dosDate, std::move(out)});
                m_Router.Settle(entry);
                if (m_Written.size() > kMostWaiting)
                    KeepWritten(true);
            } else {
                out.reset();
                m_Router.Finish(entry);
            }
            inEntry = false;
        }
        queue.Written();
    }
    // The queue ended inside an entry: the extraction was stopped.
    if (inEntry) {
        out.reset();
        m_Router.Finish(entry);
        m_bComplete = false;
    }
    KeepAllWritten();
    return !m_Router.Failed();
}
