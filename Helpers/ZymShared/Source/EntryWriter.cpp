#include "EntryWriter.h"

#include <optional>

#include "EntryOutput.h"
#include "EntryRouter.h"

#include "unzip.h"

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
    // memory included, stops the extraction.
    try {
        m_bComplete = WriteEntries();
    } catch (...) {
        m_bComplete = false;
        m_Router.Cancel();
    }
}

// True when each entry it was sent was written whole. A file that cannot be
// written fails the extraction: what failed it (a full volume, a lost drive)
// would fail the rest as well. So does an entry that could not be read whole
// while its file was being written; one whose file could not be created is
// skipped, whatever its data held.
bool EntryWriter::WriteEntries()
{
    BlockQueue& queue = m_Router.Queue(m_nIndex);
    bool complete = true;
    std::optional<EntryOutput> out;
    bool inEntry = false;
    EntryLedger::Entry entry = 0;
    unsigned long dosDate = 0;
    while (InflatedBlock* block = queue.NextToWrite()) {
        if (block->begins) {
            inEntry = true;
            entry = block->entry;
            dosDate = block->dosDate;
            // An abandoned entry's blocks are passed over.
            if (m_Router.AwaitCreate(entry)) {
                out.emplace(block->path, block->makeFolders);
                if (!out->IsOpen())
                    complete = false;
            } else {
                complete = false;
            }
        }
        if (out && out->IsOpen() && block->size > 0 &&
            !out->Write(block->data.get(), static_cast<DWORD>(block->size))) {
            out.reset();
            m_Router.Fail(entry);
            m_Router.Finish(entry);
            return false;
        }
        if (block->ends) {
            const bool opened = out && out->IsOpen();
            if (opened && block->result != UNZ_OK) {
                out.reset();
                m_Router.Fail(entry);
                m_Router.Finish(entry);
                return false;
            }
            // Written whole, the entry can no longer fail the extraction;
            // its file is kept only once every earlier entry is settled too,
            // since a failure before it would have ended the extraction.
            if (opened)
                m_Router.Settle(entry);
            if (opened && m_Router.AwaitCommit(entry)) {
                if (!out->Commit(dosDate))
                    complete = false;
            } else {
                complete = false;
            }
            out.reset();
            m_Router.Finish(entry);
            inEntry = false;
        }
        queue.Written();
    }
    // The queue ended inside an entry: the extraction was stopped.
    if (inEntry) {
        out.reset();
        m_Router.Finish(entry);
        complete = false;
    }
    return complete && !m_Router.Failed();
}
