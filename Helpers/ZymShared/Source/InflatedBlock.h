#ifndef INFLATEDBLOCK_H
#define INFLATEDBLOCK_H

#include <stddef.h>

#include <memory>
#include <string>

// A piece of one archive entry on its way from the thread that inflates the
// archive to the one that writes the files. The first piece of an entry
// names its file; the last one says how reading the entry ended. A small
// entry fits into one piece that does both.
struct InflatedBlock {
    bool begins = false;
    // Set on the first piece only: the entry's number in archive order
    // (EntryLedger) and its file.
    unsigned long long entry = 0;
    std::wstring path;
    bool makeFolders = false;
    unsigned long dosDate = 0;

    bool ends = false;
    // Set on the last piece only: UNZ_OK when the entry was read whole, at
    // exactly the size it declares.
    int result = 0;

    std::unique_ptr<char[]> data;
    size_t size = 0;
};

#endif
