#ifndef CONSOLEWRITER_H
#define CONSOLEWRITER_H

#include <cstdio>
#include <mutex>
#include <string>

// Whole lines to one stream from several threads: the component reports on
// its background thread while the host's thread answers commands.
class ConsoleWriter
{
public:
    explicit ConsoleWriter(FILE* stream);

    void WriteLine(const std::string& line);

private:
    ConsoleWriter(const ConsoleWriter&) = delete;
    ConsoleWriter& operator=(const ConsoleWriter&) = delete;

    FILE* m_pStream;
    std::mutex m_Mutex;
};

#endif
