#ifndef ENTRYWRITER_H
#define ENTRYWRITER_H

#include <stddef.h>

#include "BaseThread.h"

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
    bool WriteEntries();

    EntryRouter& m_Router;
    const size_t m_nIndex;
    bool m_bRunning;
    bool m_bComplete;
};

#endif
