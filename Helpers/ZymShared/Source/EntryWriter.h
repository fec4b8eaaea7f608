#ifndef ENTRYWRITER_H
#define ENTRYWRITER_H

#include <stddef.h>

#include <deque>
#include <memory>

#include "BaseThread.h"
#include "EntryLedger.h"

class EntryOutput;
class EntryRouter;

// One of the writers of an extraction: writes the entries the router sends
// to its queue, entry after entry, on the calling thread (WriteAll) or on a
// thread of its own (Start, then Finish). The first failure of any writer
// stops the others at their next block: whatever they had not kept yet is
// taken away again.
class EntryWriter : public BaseThread {
public:
    EntryWriter(EntryRouter& router, size_t index);
    // A thread still running is stopped, with the whole extraction, and
    // waited for.
    ~EntryWriter() override;

    // As BaseThread's; the writer then runs on its own thread.
    int Start() override;
    void WriteAll();
    // Waits for the thread. Then: whether each entry it was sent was
    // written whole.
    bool Finish();
    bool Complete() const { return m_bComplete; }

protected:
    void Run() override;

private:
    // A file written whole whose entry waits for its turn to be kept.
    struct Written {
        EntryLedger::Entry entry;
        unsigned long dosDate;
        std::unique_ptr<EntryOutput> out;
    };

    bool WriteEntries();
    // Keeps or gives up the written files in order, as far as their turns
    // have come; with wait, the oldest one after waiting for its turn.
    void KeepWritten(bool wait);
    void KeepAllWritten();

    EntryRouter& m_Router;
    const size_t m_nIndex;
    bool m_bRunning;
    bool m_bComplete;
    std::deque<Written> m_Written;
};

#endif
